#include "TestObjects.h"

#include "ImageFormat.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace kqlinktest {

TempDir::TempDir() {
    char pattern[] = "/tmp/kqlinktest-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    mPath = pattern;
}

TempDir::~TempDir() {
    std::string out;
    RunCommand({"rm", "-rf", mPath}, &out);
}

void TempDir::Write(const std::string &name, const std::string &text) const {
    std::ofstream(File(name), std::ios::binary) << text;
}

std::string Assemble(const TempDir &dir, const std::string &name, const std::string &source) {
    dir.Write(name + ".s", source);
    std::string out;
    if (RunCommand({"as", "--32", "-o", dir.File(name + ".o"), dir.File(name + ".s")}, &out) != 0)
        throw std::runtime_error("as failed: " + out);
    return dir.File(name + ".o");
}

int RunCommand(const std::vector<std::string> &argv, std::string *out) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    out->clear();
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out->append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

uint32_t Word(const std::vector<uint8_t> &bytes, uint32_t offset) {
    if (offset + 4 > bytes.size()) throw std::out_of_range("word outside the member");
    return kqimage::Read32(bytes.data() + offset);
}

} // namespace kqlinktest
