#pragma once
// The lines of a text file as the configurator reads firmware and
// configuration files: split at LF, a CR right before the LF dropped; a file
// whose every line ends in a lone CR is read as CR-separated lines; a UTF-8
// byte-order mark at the start is skipped. Anywhere else a CR is allowed
// only as the file's last byte; the line that holds one is marked, for the
// reader to refuse. A last line without its line break is a line.

#include <string_view>

class TextLines {
 public:
  explicit TextLines(std::string_view contents);

  // The next line without its line end; false after the last one.
  bool Next(std::string_view& line);
  // The number of the line last handed out, from 1.
  int Number() const { return number_; }
  // Whether that line holds a carriage return that ends nothing.
  bool StrayCarriageReturn() const { return strayCr_; }

 private:
  std::string_view rest_;
  char separator_ = '\n';
  int number_ = 0;
  bool strayCr_ = false;
};
