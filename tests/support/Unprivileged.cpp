#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr uid_t Nobody = 65534;
}

QByteArray RunUnprivileged(const std::function<QByteArray()>& what)
{
    int out[2];
    if (pipe(out) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(1);
        const QByteArray result = what();
        (void)!write(out[1], result.constData(), size_t(result.size()));
        _exit(0);
    }
    close(out[1]);
    QByteArray result;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, n);
    close(out[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return result;
}
