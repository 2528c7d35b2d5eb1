// Names for the files a test writes, its own among all the test processes that run at
// once (ctest runs every test case as a process of its own, several at a time): each
// carries the test's name and the process id.
#pragma once
#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

inline std::string ProcessTag() {
#ifdef _WIN32
  return std::to_string(_getpid());
#else
  return std::to_string(getpid());
#endif
}

// "bramloe-Suite.Test-PID-name".
inline std::string OwnName(const std::string &name) {
  const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string own = "bramloe-";
  if (test) own += std::string(test->test_suite_name()) + "." + test->name() + "-";
  return own + ProcessTag() + "-" + name;
}

// OwnName in the temporary folder.
inline std::string OwnTempPath(const std::string &name) { return ::testing::TempDir() + OwnName(name); }
