#pragma once
// The sensor's application as the tests play it: a configuration memory
// behind the text protocol, answering with the layouts the configurator
// relies on. Every reply begins LF, CR, STX and the command; a register
// read "R %04x 02" is answered "R 0026:4c 04" with byte k's two digits at
// positions 10 + 3k and 11 + 3k, padded to 20 bytes (26 for "R %04x 04"); a
// write "W %04x %02x" stores the byte and is answered with its echo (14
// bytes, of which 2 are awaited); "I" gets 17 bytes; the acknowledged
// commands ("cs", "ce", "cn", "cc", "cf", "cd", "co", "cp") get 9. Anything
// else goes to `otherwise`, or stays unanswered.
//
// It is safe to use from a pseudo-terminal's answering thread while the
// test thread sets or reads the memory.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct Written;

class RegisterSensor {
 public:
  void Set16(std::uint16_t address, std::uint16_t value);
  void Set32(std::uint16_t address, std::uint32_t value);
  std::uint16_t Get16(std::uint16_t address) const;
  std::uint8_t At(std::uint16_t address) const;

  // Faults: reads or writes of an address that get no reply, every register
  // read reply cut to `length` bytes (0: whole), the acknowledged commands
  // unanswered.
  void SilenceReadsOf(std::uint16_t address);
  void SilenceWritesTo(std::uint16_t address);
  void ShortenReadReplies(std::size_t length);
  void SetAcknowledges(bool acknowledges);
  // Only this acknowledged command ("cn", ...) goes unanswered.
  void WithholdAcknowledgementOf(const std::string& command);
  // The firmware part number and version that "I" reports; no reply when
  // `answers` is false.
  void SetIdentity(std::uint32_t part, std::uint32_t version, bool answers = true);

  // Requests the memory does not answer ("A", "a", ...): the reply, or "".
  void SetOtherwise(std::function<std::string(const std::string& request)> otherwise);

  // The reply to a request text, "" for none; every request is recorded.
  std::string Answer(const std::string& request);
  // The same for what a fake channel saw written.
  std::vector<std::uint8_t> Answer(const Written& written);

  std::vector<std::string> Requests() const;

 private:
  std::string AnswerLocked(const std::string& request);

  mutable std::mutex mutex_;
  std::array<std::uint8_t, 0x10000> memory_{};
  std::set<std::uint16_t> silentReads_;
  std::set<std::uint16_t> silentWrites_;
  std::size_t shortReads_ = 0;
  bool acknowledges_ = true;
  std::set<std::string> unacknowledged_;
  bool identifies_ = true;
  std::uint32_t part_ = 0x16BB;
  std::uint32_t version_ = 0x6F;
  std::function<std::string(const std::string&)> otherwise_;
  std::vector<std::string> requests_;
};
