#include "support/RefusingDisk.h"
#include "support/ScriptedDialogs.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

TChildRun RunOnRefusingDisk(long long limitBytes, const std::function<int()>& work)
{
    TChildRun run;
    int fds[2];
    if (::pipe(fds) != 0) return run;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return run;
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = rlim_t(limitBytes);
        int code = 250;
        if (::setrlimit(RLIMIT_FSIZE, &limit) == 0) {
            TestDialogs().Reset();
            try {
                code = work() & 0xFF;
            } catch (...) {
                code = 251;
            }
        }
        const QByteArray shown = TestDialogs().Shown().join(QChar(0x1F)).toUtf8();
        for (qsizetype done = 0; done < shown.size();) {
            const ssize_t n = ::write(fds[1], shown.constData() + done, size_t(shown.size() - done));
            if (n <= 0) break;
            done += n;
        }
        ::close(fds[1]);
        // No destructors or exit handlers of the parent's objects run here.
        ::_exit(code);
    }
    ::close(fds[1]);
    QByteArray shown;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        shown.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!shown.isEmpty()) run.Shown = QString::fromUtf8(shown).split(QChar(0x1F));
    return run;
}
