#include "sim/TextFaults.h"

namespace {
// Position of the command letter after LF CR STX.
constexpr std::size_t kLetterPosition = 3;
}  // namespace

TextFaults::TextFaults(const SimOptions& options)
    : silent_(options.silent),
      silentAfter_(options.silentAfter),
      shortReplies_(options.shortReplies),
      garble_(options.garble),
      noAck_(options.noAck) {}

void TextFaults::Apply(const std::string& request, TextAnswer& answer) {
  ++requests_;
  if (answer.reply.empty()) return;
  const std::string word = request.substr(0, request.find(' '));
  if (silent_ || (silentAfter_ >= 0 && requests_ > silentAfter_) || noAck_.count(word) != 0) {
    answer.reply.clear();
    answer.note += answer.note.empty() ? "withheld" : ", withheld";
    return;
  }
  if (garble_ && answer.liveData && answer.reply.size() > kLetterPosition) {
    // "A" becomes "a" and the other way round: a well-formed reply to the
    // wrong command.
    answer.reply[kLetterPosition] ^= 0x20;
  }
  if (shortReplies_ && answer.expected > 0) answer.reply.resize(answer.expected - 1);
}
