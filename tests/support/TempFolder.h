#pragma once
// A private folder for the files of one test, removed with everything in it
// when the test is done, and reading a file's bytes back.

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path of a file of that name in the folder (not created).
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `contents` to a file of that name in the folder; returns its path.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::string path_;
};

// The file's bytes, or "" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Whether something of that name exists.
bool Exists(const std::string& path);
