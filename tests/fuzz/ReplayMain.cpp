// Replays fuzz inputs without libFuzzer: each argument is a file (or a folder of files).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static void replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            for (const QFileInfo& entry : QDir(path).entryInfoList(QDir::Files))
                replay(entry.filePath());
        } else {
            replay(path);
        }
    }
    std::printf("replayed %d input(s)\n", argc - 1);
    return 0;
}
