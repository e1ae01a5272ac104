// Started by the tests: writes what it sees of its own start into
// OSTREVANE_HOME/started.txt, through a temporary file so the test never
// reads half of it, then runs on while OSTREVANE_HOME/hold is there.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char**) {
    const char* home = std::getenv("OSTREVANE_HOME");
    if (!home) {
        return 1;
    }
    struct stat in {};
    struct stat null {};
    bool stdinIsNull = fstat(0, &in) == 0 && stat("/dev/null", &null) == 0 &&
                       in.st_rdev == null.st_rdev && S_ISCHR(in.st_mode);
    std::string part = std::string(home) + "/started.part";
    std::FILE* out = std::fopen(part.c_str(), "w");
    if (!out) {
        return 1;
    }
    std::fprintf(out, "argc=%d\npid=%d\nsid=%d\nstdin-null=%d\n", argc, static_cast<int>(getpid()),
                 static_cast<int>(getsid(0)), stdinIsNull ? 1 : 0);
    std::fclose(out);
    std::rename(part.c_str(), (std::string(home) + "/started.txt").c_str());
    const std::string hold = std::string(home) + "/hold";
    struct stat held {};
    while (stat(hold.c_str(), &held) == 0) {
        usleep(10000);
    }
    return 0;
}
