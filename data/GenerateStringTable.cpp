// Turns data/strings.tsv (id, English, Chinese; "\n" marks a line feed) into
// the C++ string table compiled into the core. Refuses a file whose ids are
// not 0 to 233 in order, each with both texts.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Literal(const std::string& text) {
  std::string out = "u8\"";
  for (unsigned char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\%03o", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: GenerateStringTable strings.tsv StringTable.cpp\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << argv[1] << "\n";
    return 1;
  }
  std::vector<std::string> english, chinese;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos || line.find('\t', tab2 + 1) != std::string::npos ||
        line.substr(0, tab1) != std::to_string(english.size())) {
      std::cerr << argv[1] << ":" << lineNumber << ": expected id " << english.size()
                << ", a tab, the English text, a tab and the Chinese text\n";
      return 1;
    }
    english.push_back(Unescape(line.substr(tab1 + 1, tab2 - tab1 - 1)));
    chinese.push_back(Unescape(line.substr(tab2 + 1)));
  }
  if (english.size() != 234) {
    std::cerr << argv[1] << ": " << english.size() << " entries, expected 234\n";
    return 1;
  }
  std::ostringstream out;
  out << "// Generated from data/strings.tsv; edit that file instead.\n"
         "#include <string>\n\n"
         "extern const char* const kStringTableEnglish[234];\n"
         "extern const char* const kStringTableChinese[234];\n\n";
  for (int table = 0; table < 2; ++table) {
    const auto& texts = table == 0 ? english : chinese;
    out << "const char* const " << (table == 0 ? "kStringTableEnglish" : "kStringTableChinese")
        << "[234] = {\n";
    for (const std::string& t : texts) {
      std::string literal = Literal(t);
      out << "    reinterpret_cast<const char*>(" << literal << "),\n";
    }
    out << "};\n\n";
  }
  std::ofstream file(argv[2], std::ios::binary);
  file << out.str();
  return file ? 0 : 1;
}
