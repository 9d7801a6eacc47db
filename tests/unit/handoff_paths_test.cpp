#include "rules/runtime_paths.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

// Sets or unsets an environment variable for the test's life.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RuntimePaths, LiveUnderTheRuntimeDirectoryOrPerUserInTheTemporaryOne) {
  QTemporaryDir temporary;
  const std::string t = temporary.path().toStdString();
  const std::string uid = std::to_string(getuid());
  const struct {
    const char* runtime;
    std::string lock;
    std::string fallback;
  } cases[] = {
      {"/run/user/5", "/run/user/5/_mellowdeck_.lock", "/run/user/5/mellowdeck"},
      {nullptr, t + "/_mellowdeck_-" + uid + ".lock", t + "/mellowdeck-" + uid},
      {"", t + "/_mellowdeck_-" + uid + ".lock", t + "/mellowdeck-" + uid},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.runtime ? c.runtime : "(unset)");
    ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime);
    ScopedEnv tmp("TMPDIR", t.c_str());
    EXPECT_EQ(InstanceLockPath(), c.lock);
    EXPECT_EQ(FallbackHandOffDirectory(), c.fallback);
  }
}

} // namespace
