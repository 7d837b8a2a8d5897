// zubeki-server: online games between two players, kept in SQLite.

#include "server/server.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslKey>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kHelp =
    "usage: zubeki-server [--listen ADDR] [--port P] [--db FILE] [--cert FILE --key FILE]\n"
    "                     [--grace S] [--max-per-address N] [-h | --help | --version]\n"
    "\n"
    "Keeps online games between two players over a WebSocket at /play and every move in a\n"
    "database; a game goes on after the server is started again.\n"
    "  --listen ADDR          the address to listen on (default 127.0.0.1)\n"
    "  --port P               the port (default 7610)\n"
    "  --db FILE              the database (default zubeki-server.sqlite in the user's data "
    "folder)\n"
    "  --cert FILE --key FILE speak TLS (wss://) with this certificate and key, both PEM\n"
    "  --grace S              seconds a player may be away before the other may claim the game\n"
    "                         (default 60)\n"
    "  --max-per-address N    connections one address may hold (default 20)\n"
    "See zubeki-server(6).\n";

struct Options {
    zubeki::server::ServerOptions server;
    QString db;
    QString cert;
    QString key;
};

int refused(const char* what, const char* arg) {
    std::fprintf(stderr, "zubeki-server: %s '%s' (see --help)\n", what, arg);
    return 2;
}

// Reads the command line into `o`; -1 to go on, otherwise the status to end with.
int readOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--version") == 0) {
            std::printf("zubeki-server %s\n", ZUBEKI_VERSION);
            return 0;
        }
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        const bool takesValue = std::strcmp(a, "--listen") == 0 || std::strcmp(a, "--port") == 0 ||
                                std::strcmp(a, "--db") == 0 || std::strcmp(a, "--cert") == 0 ||
                                std::strcmp(a, "--key") == 0 || std::strcmp(a, "--grace") == 0 ||
                                std::strcmp(a, "--max-per-address") == 0;
        if (!takesValue) return refused("unknown option", a);
        if (i + 1 >= argc) return refused("no value after", a);
        const QString value = QString::fromLocal8Bit(argv[++i]);
        bool ok = true;
        if (std::strcmp(a, "--listen") == 0) {
            ok = o.server.address.setAddress(value);
        } else if (std::strcmp(a, "--port") == 0) {
            const uint port = value.toUInt(&ok);
            ok = ok && port >= 1 && port <= 65535;
            o.server.port = static_cast<quint16>(port);
        } else if (std::strcmp(a, "--grace") == 0) {
            const int seconds = value.toInt(&ok);
            ok = ok && seconds >= 0 && seconds <= 86400;
            o.server.graceMs = seconds * 1000LL;
        } else if (std::strcmp(a, "--max-per-address") == 0) {
            o.server.maxConnectionsPerAddress = value.toInt(&ok);
            ok = ok && o.server.maxConnectionsPerAddress >= 1;
        } else if (std::strcmp(a, "--db") == 0) {
            o.db = value;
        } else if (std::strcmp(a, "--cert") == 0) {
            o.cert = value;
        } else {
            o.key = value;
        }
        if (!ok || value.isEmpty()) return refused("bad value", argv[i]);
    }
    if (o.cert.isEmpty() != o.key.isEmpty()) {
        std::fputs("zubeki-server: --cert and --key go together (see --help)\n", stderr);
        return 2;
    }
    return -1;
}

// The certificate and key for wss://; false with a line on standard error.
bool loadTls(const Options& o, QSslConfiguration& tls) {
    const QList<QSslCertificate> chain = QSslCertificate::fromPath(o.cert, QSsl::Pem);
    QFile keyFile(o.key);
    if (chain.isEmpty() || !keyFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "zubeki-server: cannot read the certificate '%s' or the key '%s'\n",
                     qPrintable(o.cert), qPrintable(o.key));
        return false;
    }
    const QByteArray pem = keyFile.readAll();
    QSslKey key(pem, QSsl::Rsa, QSsl::Pem);
    if (key.isNull()) key = QSslKey(pem, QSsl::Ec, QSsl::Pem);
    if (key.isNull()) {
        std::fprintf(stderr, "zubeki-server: '%s' is no RSA or EC private key in PEM\n",
                     qPrintable(o.key));
        return false;
    }
    tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(chain);
    tls.setPrivateKey(key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (const int status = readOptions(argc, argv, o); status >= 0) return status;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zubeki"));
    if (o.db.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        o.db = folder + QStringLiteral("/zubeki-server.sqlite");
    }
    if (!o.cert.isEmpty()) {
        QSslConfiguration tls;
        if (!loadTls(o, tls)) return 1;
        o.server.tls = tls;
    }
    std::string error;
    const std::unique_ptr<zubeki::server::Store> store =
        zubeki::server::Store::open(QFile::encodeName(o.db).toStdString(), error);
    if (!store) {
        std::fprintf(stderr, "zubeki-server: cannot open the database '%s': %s\n", qPrintable(o.db),
                     error.c_str());
        return 1;
    }
    const zubeki::server::SteadyClock clock;
    zubeki::server::Server server(*store, clock, o.server);
    QString why;
    if (!server.start(why)) {
        std::fprintf(stderr, "zubeki-server: cannot listen on %s port %u: %s\n",
                     qPrintable(o.server.address.toString()), o.server.port, qPrintable(why));
        return 1;
    }
    std::printf("zubeki-server %s: listening on %s://%s:%u/play, %d games going on, database %s\n",
                ZUBEKI_VERSION, o.server.tls ? "wss" : "ws",
                qPrintable(o.server.address.toString()), server.port(), server.games(),
                qPrintable(o.db));
    std::fflush(stdout);
    return app.exec();
}
