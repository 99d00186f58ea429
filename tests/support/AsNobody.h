#pragma once

#include <cstdio>
#include <unistd.h>
#include <vector>

// Tests of read-only files and folders need an ordinary user: root writes through any permission.
// Started as root, the test program runs itself again as user nobody (setpriv), with the same
// arguments and environment; otherwise it goes on as it is.
inline void restartAsNobody(char** argv) {
    if (geteuid() != 0) {
        return;
    }
    static char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) {
        std::perror("readlink /proc/self/exe");
        _exit(1);
    }
    self[length] = '\0';
    std::vector<char*> words{const_cast<char*>("setpriv"), const_cast<char*>("--reuid=65534"),
                             const_cast<char*>("--regid=65534"), const_cast<char*>("--clear-groups"), self};
    for (char** arg = argv + 1; *arg != nullptr; ++arg) {
        words.push_back(*arg);
    }
    words.push_back(nullptr);
    execvp("setpriv", words.data());
    std::perror("setpriv");
    _exit(1);
}
