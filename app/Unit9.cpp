#include "app/Unit9.h"

#include <atomic>

extern const char* const kStringTableEnglish[kStringCount];
extern const char* const kStringTableChinese[kStringCount];

namespace {
// The language of this run: English at every start, set by the language window.
std::atomic<int> g_language{0};

struct Tables {
  std::string english[kStringCount];
  std::string chinese[kStringCount];
  Tables() {
    for (int i = 0; i < kStringCount; ++i) {
      english[i] = kStringTableEnglish[i];
      chinese[i] = kStringTableChinese[i];
    }
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}
}  // namespace

void SetLanguage(int language) { g_language = (language >= 2) ? 0 : language; }

int CurrentLanguage() { return g_language; }

const std::string& TextIn(int id, int language) {
  static const std::string outside = "---";
  if (id < 0 || id >= kStringCount) return outside;
  return language == 1 ? TheTables().chinese[id] : TheTables().english[id];
}

const std::string& TextOf(int id) { return TextIn(id, g_language); }

std::string JoinTexts2(int a, const std::string& separator, int b, const std::string& tail) {
  return TextOf(a) + separator + TextOf(b) + tail;
}

std::string JoinTexts3(int a, const std::string& separator1, int b, const std::string& separator2, int c,
                       const std::string& tail) {
  return TextOf(a) + separator1 + TextOf(b) + separator2 + TextOf(c) + tail;
}
