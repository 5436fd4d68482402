#include "ServiceEndpoints.h"

namespace {
QString fromEnvironment(const char* variable, const char* fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

QString withTrailingSlash(const QString& url)
{
    return url.endsWith(QLatin1Char('/')) ? url : url + QLatin1Char('/');
}
} // namespace

QString ServiceEndpoints::cloudBase()
{
    return withTrailingSlash(fromEnvironment("LIRENTA_CLOUD_URL", "https://cloud.lirenta.org/"));
}

QUrl ServiceEndpoints::googleBooksVolumes()
{
    return QUrl(fromEnvironment("LIRENTA_GOOGLE_BOOKS_URL", "https://www.googleapis.com/books/v1/volumes"));
}

QString ServiceEndpoints::updateCheck()
{
    return withTrailingSlash(fromEnvironment("LIRENTA_UPDATE_URL", "https://lirenta.org/"));
}
