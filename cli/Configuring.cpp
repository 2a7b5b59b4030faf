#include "cli/Configuring.h"

#include <algorithm>
#include <iostream>

#include "config/ConfigureFrame.h"
#include "config/Features.h"

int RunConfiguring(CliSession& session, const std::function<int(Session&, const FeatureVisibility&)>& work) {
  if (const int status = session.Connect(); status != kExitOk) return status;
  Session& core = session.Core();
  const bool started = OpenConfiguring(core);
  // Without the features word nobody knows which pages this sensor has.
  const bool featuresRead = core.Boxes().Box(kFeaturesAddress).Text() != kFailedRead;
  int status = kExitFailed;
  if (featuresRead) {
    status = work(core, VisibilityOf(core.Config().FeaturesWord));
  } else {
    Complain("the sensor did not answer the read of the features word (001e); nothing done");
  }
  const bool ended = CloseConfiguring(core);
  if (started && ended) return status;
  Complain(std::string("the sensor did not acknowledge the ") +
           (!started ? (!ended ? "start and the end" : "start") : "end") + " of configuring");
  return status == kExitOk ? kExitFailed : status;
}

bool WantsHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

void Complain(const std::string& text) { std::cerr << "oil-debris-cli: " << text << "\n"; }
