#pragma once

// Sets a page flag (such as Loading) for the length of a scope, also when the scope is left by a
// failure.
namespace quenta {

class xFlagScope {
 public:
  explicit xFlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~xFlagScope() { flag_ = old_; }
  xFlagScope(const xFlagScope&) = delete;
  xFlagScope& operator=(const xFlagScope&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace quenta
