#pragma once

namespace kpw {

// Sets a flag for the duration of a scope and gives back its old value even
// when the scope is left by an error, so the commit can never stay blocked.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

}  // namespace kpw
