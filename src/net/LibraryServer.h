#pragma once

#include <QAbstractHttpServer>
#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QString>

class LibraryDatabase;
class QHttpServerResponder;

// Shares the library, read-only, on the local network: an OPDS catalogue for reading apps
// ("/opds"), a small web page for any browser ("/"), the books' files and their covers.
// Every request needs the password (HTTP Basic, any user name); clients that keep failing
// wait. Files are named by their id in the library, never by a path, and are streamed from
// disk, so a large one is never read whole.
class LibraryServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    explicit LibraryServer(LibraryDatabase& library, QObject* parent = nullptr);
    ~LibraryServer() override;

    // Who may reach the server: by default it listens only on this machine's loopback and
    // private-network addresses and answers only clients of those networks; PublicToo listens
    // on every address and answers anyone with the password.
    enum class Reach { LocalNetwork, PublicToo };
    // Listens at `port`; false (with the reason) when the port cannot be had.
    bool start(quint16 port, const QString& password, QString* problem = nullptr, Reach reach = Reach::LocalNetwork);
    void stop();
    bool isRunning() const { return running; }
    Reach reach() const { return allowed; }
    // The addresses listened on.
    QList<QHostAddress> addresses() const;
    quint16 port() const { return listeningPort; }

    bool hasPassword(const QString& candidate) const { return candidate == password; }
    // A password to begin with: twelve letters and digits, easy to type on a phone.
    static QString newPassword();
    // This machine's address as another device reaches it: on the local network, or, with
    // public addresses allowed and no local network, its first other address.
    static QString localAddress(Reach reach = Reach::LocalNetwork);
    // This machine's loopback and private-network addresses, loopback first.
    static QList<QHostAddress> localAddresses();
    // Whether an address belongs to this machine or a private network.
    static bool isLocalNetwork(const QHostAddress& address);
    static QByteArray mimeType(const QString& extension);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Failures
    {
        int count = 0;
        qint64 since = 0;
        qint64 blockedUntil = 0;
    };
    bool authorised(const QHttpServerRequest& request);
    void route(const QHttpServerRequest& request, QHttpServerResponder& responder);
    void sendFile(const QHttpServerRequest& request, QHttpServerResponder& responder, int fid);
    void sendCover(QHttpServerResponder& responder, int iid, bool thumbnail);

    LibraryDatabase& library;
    QString password;
    QHash<QString, Failures> failures;
    QCache<QString, QByteArray> covers{32 << 20}; // JPEG bytes, by file, version and size
    QElapsedTimer clock;
    bool running = false;
    quint16 listeningPort = 0;
    Reach allowed = Reach::LocalNetwork;
};
