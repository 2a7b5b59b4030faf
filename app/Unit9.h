#pragma once
// The string table: 234 entries, ids 0 to 233, in English and Chinese (UTF-8).
// Every user-visible text that follows the language comes from here.

#include <string>

constexpr int kStringCount = 234;

// The language: 0 English, 1 Chinese; any value of 2 or more is stored as 0.
void SetLanguage(int language);
int CurrentLanguage();

// The entry's text in the current language; "---" outside 0 to 233.
const std::string& TextOf(int id);
// The entry's text in a given language (1 Chinese, anything else English).
const std::string& TextIn(int id, int language);

// Entry a, the separator, entry b and the tail, as one text (an empty
// separator or tail adds nothing).
std::string JoinTexts2(int a, const std::string& separator, int b, const std::string& tail = "");
std::string JoinTexts3(int a, const std::string& separator1, int b, const std::string& separator2,
                       int c, const std::string& tail = "");
