// Starts a program with USERPROFILE set to a folder of the caller's choosing, so that
// each end-to-end test gives its player a settings file of its own (Wine sets
// USERPROFILE itself, whatever the Unix environment says), and waits for it:
//   bramloe_in_profile PROFILE PIDFILE PROGRAM [ARGUMENTS...]
// Writes the program's Windows process id to PIDFILE (for BRAMLOE_PLAYER_PID) and ends
// with its exit status. The program runs in a job that ends it when this process ends,
// however it ends: stopping the launcher stops the program.
#include <windows.h>

#include <cstdio>

// The command line after its first n arguments (each quoted or bare, as given).
static const char *SkipArguments(const char *line, int n) {
  for (int i = 0; i <= n; i++) {
    while (*line == ' ' || *line == '\t') line++;
    if (i == n) break;
    if (*line == '"') {
      line++;
      while (*line && *line != '"') line++;
      if (*line) line++;
    } else {
      while (*line && *line != ' ' && *line != '\t') line++;
    }
  }
  return line;
}

int main(int argc, char **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: bramloe_in_profile PROFILE PIDFILE PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  if (!SetEnvironmentVariableA("USERPROFILE", argv[1])) return 2;
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job || !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    std::fprintf(stderr, "bramloe_in_profile: no job object (%lu)\n", GetLastError());
    return 2;
  }
  char command[32768];
  lstrcpynA(command, SkipArguments(GetCommandLineA(), 3), sizeof command);
  // The program writes where this launcher writes (a report to the test's files).
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  const HANDLE standard[] = {startup.hStdInput, startup.hStdOutput, startup.hStdError};
  for (HANDLE handle : standard) SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "bramloe_in_profile: cannot start %s (%lu)\n", command, GetLastError());
    return 2;
  }
  // In the job before its first instruction, so nothing it starts escapes it.
  AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  std::FILE *pidFile = std::fopen(argv[2], "w");
  if (pidFile) {
    std::fprintf(pidFile, "%lu\n", process.dwProcessId);
    std::fclose(pidFile);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
