// The operator's language: chosen from [UI] LANGUAGE or the system locale, and installed as the program's
// and Qt's own translators before any window is built.
#pragma once

#include <memory>
#include <string>

#include <QLocale>
#include <QString>
#include <QStringList>

class QTranslator;

class CLanguage {
public:
    CLanguage();
    ~CLanguage();
    CLanguage(const CLanguage&) = delete;
    CLanguage& operator=(const CLanguage&) = delete;

    // The translations the program carries.
    static QStringList Available();
    // What a [UI] LANGUAGE value selects: "zh_CN", "pt_BR" or "en", or an empty text for the source texts.
    // Empty (or a language the program does not carry) follows the locale's preferred languages: the
    // first of them that is Chinese, Portuguese or English; the source texts when none is.
    static QString Choose(const std::string& setting, const QLocale& locale = QLocale::system());

    // Installs the translation of lang (one of Available(), or empty for the source texts) with Qt's own
    // translation of its standard dialogs; replaces what this object installed before. False when the
    // program's translation cannot be loaded: the source texts are shown then.
    bool Install(const QString& lang);
    // Back to the source texts.
    void Remove();
    // The installed language; empty for the source texts.
    QString Current() const { return m_strLanguage; }

private:
    std::unique_ptr<QTranslator> m_pProgram;
    std::unique_ptr<QTranslator> m_pQt;
    QString m_strLanguage;
};
