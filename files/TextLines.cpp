#include "files/TextLines.h"

TextLines::TextLines(std::string_view contents) : rest_(contents) {
  if (rest_.substr(0, 3) == "\xEF\xBB\xBF") rest_.remove_prefix(3);
  // Without any LF, CRs are the line breaks (a file from an old Mac).
  if (rest_.find('\n') == std::string_view::npos && rest_.find('\r') != std::string_view::npos) separator_ = '\r';
}

bool TextLines::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  std::size_t end = rest_.find(separator_);
  const bool broken = end != std::string_view::npos;
  if (!broken) end = rest_.size();
  line = rest_.substr(0, end);
  rest_.remove_prefix(broken ? end + 1 : end);
  ++number_;
  // CR LF reads as LF, and a CR as the file's very last byte ends its line.
  if (separator_ == '\n' && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  strayCr_ = separator_ == '\n' && line.find('\r') != std::string_view::npos;
  return true;
}
