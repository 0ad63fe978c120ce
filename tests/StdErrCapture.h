#pragma once
// Catches what the process writes to its standard error while it lives:
// file descriptor 2 is pointed at a temporary file (a file, not a pipe, so
// a long write cannot block the writer) and put back by Take or at the end.

#include <QByteArray>
#include <cstdio>
#include <unistd.h>

class StdErrCapture {
public:
    StdErrCapture() {
        std::fflush(stderr);
        FFile = std::tmpfile();
        FSaved = ::dup(2);
        if (FFile && FSaved >= 0) ::dup2(::fileno(FFile), 2);
    }
    ~StdErrCapture() {
        Restore();
        if (FFile) std::fclose(FFile);
    }
    StdErrCapture(const StdErrCapture&) = delete;
    StdErrCapture& operator=(const StdErrCapture&) = delete;

    bool Valid() const { return FFile && FSaved >= 0; }

    // Everything written since the capture began; standard error is the
    // process's own again afterwards.
    QByteArray Take() {
        Restore();
        QByteArray text;
        if (!FFile) return text;
        std::rewind(FFile);
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, FFile)) > 0;)
            text.append(buffer, qsizetype(n));
        return text;
    }

private:
    void Restore() {
        if (FSaved < 0) return;
        std::fflush(stderr);
        ::dup2(FSaved, 2);
        ::close(FSaved);
        FSaved = -1;
    }

    std::FILE* FFile = nullptr;
    int FSaved = -1;
};
