#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
std::unique_ptr<QTranslator>& own()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator>& qts()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
} // namespace

bool Translations::install(const QLocale& locale)
{
    uninstall();
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        qts() = std::move(qt);
    }
    auto lirenta = std::make_unique<QTranslator>();
    if (!lirenta->load(locale, QStringLiteral("lirenta"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        return false;
    }
    QCoreApplication::installTranslator(lirenta.get());
    own() = std::move(lirenta);
    return true;
}

void Translations::uninstall()
{
    for (std::unique_ptr<QTranslator>* translator : {&own(), &qts()}) {
        if (*translator) {
            QCoreApplication::removeTranslator(translator->get());
            translator->reset();
        }
    }
}
