#pragma once

#include <QString>
#include <QUrl>

// The addresses of the outside services. Each has an environment variable that points it
// elsewhere (the tests' stand-in servers); without it the fixed public address is used.
class ServiceEndpoints
{
public:
    // The cloud service: LIRENTA_CLOUD_URL. Ends with "/".
    static QString cloudBase();
    // Google Books' volumes search: LIRENTA_GOOGLE_BOOKS_URL.
    static QUrl googleBooksVolumes();
    // The update check: LIRENTA_UPDATE_URL. Ends with "/".
    static QString updateCheck();
};
