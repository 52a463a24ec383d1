#pragma once
// A disk that refuses writes, without root: the work runs in a forked child
// whose file-size limit (RLIMIT_FSIZE, SIGXFSZ ignored) makes every write
// past `limitBytes` fail as on a full disk. The parent's files, globals and
// windows stay untouched by the child's state changes.
#include <QStringList>
#include <functional>

struct TChildRun {
    int ExitCode = -1;    // what `work` returned (0..255); -1: the child did not exit normally
    QStringList Shown;    // the messages and questions the child showed, in order
};

TChildRun RunOnRefusingDisk(long long limitBytes, const std::function<int()>& work);
