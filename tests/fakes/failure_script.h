// Failure injection for the fakes: a test names an operation and the code
// that its next call (or every call, or a later call) reports.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace varnolet::fakes {

class FailureScript {
 public:
  // The next `times` calls of `op` fail with `code`.
  void FailNext(const std::string& op, std::uint32_t code, int times = 1) {
    for (int i = 0; i < times; ++i) plans_[op].push_back(code);
  }
  // Calls of `op` succeed `passes` times, then the next one fails with `code`.
  void FailAfter(const std::string& op, int passes, std::uint32_t code) {
    for (int i = 0; i < passes; ++i) plans_[op].push_back(std::nullopt);
    plans_[op].push_back(code);
  }
  void FailAlways(const std::string& op, std::uint32_t code) { always_[op] = code; }
  void Clear() {
    plans_.clear();
    always_.clear();
  }

  // Consulted by the fake at each call; records the call.
  std::optional<std::uint32_t> Take(const std::string& op) {
    if (recording_) calls_.push_back(op);
    auto planned = plans_.find(op);
    if (planned != plans_.end() && !planned->second.empty()) {
      std::optional<std::uint32_t> code = planned->second.front();
      planned->second.pop_front();
      return code;
    }
    auto always = always_.find(op);
    if (always != always_.end()) return always->second;
    return std::nullopt;
  }

  const std::vector<std::string>& Calls() const { return calls_; }
  // Drops the calls recorded so far and stops or resumes recording them (a
  // long run keeps only what it counts).
  void ForgetCalls() { calls_.clear(); }
  void RecordCalls(bool on) { recording_ = on; }
  int CountOf(const std::string& op) const {
    int n = 0;
    for (const std::string& call : calls_) n += call == op ? 1 : 0;
    return n;
  }

 private:
  std::map<std::string, std::deque<std::optional<std::uint32_t>>> plans_;
  std::map<std::string, std::uint32_t> always_;
  std::vector<std::string> calls_;
  bool recording_ = true;
};

}  // namespace varnolet::fakes
