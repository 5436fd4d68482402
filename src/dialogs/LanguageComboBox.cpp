#include "LanguageComboBox.h"

#include <QMap>

LanguageComboBox::LanguageComboBox(QWidget* parent) : QComboBox(parent)
{
    QMap<QString, int> byName;
    for (int value = QLocale::C + 1; value <= QLocale::LastLanguage; ++value) {
        const auto language = QLocale::Language(value);
        const QString name = QLocale::languageToString(language);
        if (!name.isEmpty()) {
            byName.insert(name, value);
        }
    }
    for (auto it = byName.cbegin(); it != byName.cend(); ++it) {
        addItem(it.key(), it.value());
    }
    const QLocale::Language system = QLocale::system().language();
    // The C locale names no language; English is the likelier choice then.
    setCurrentLanguage(system == QLocale::C ? QLocale::English : system);
}

QLocale::Language LanguageComboBox::currentLanguage() const
{
    return QLocale::Language(currentData().toInt());
}

void LanguageComboBox::setCurrentLanguage(QLocale::Language language)
{
    const int index = findData(int(language));
    if (index >= 0) {
        setCurrentIndex(index);
    }
}
