// The operator's language and its translators.
#include "shell/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

namespace {

// The translation carried for a language tag ("zh-Hans-CN", "pt_BR", "EN"): by its language alone, so
// every Chinese reads the Simplified Chinese one and every Portuguese the Brazilian one.
QString Carried(const QString& tag)
{
    static const QRegularExpression separator(QStringLiteral("[-_.@]"));
    const QString language = tag.section(separator, 0, 0).toLower();
    if (language == u"zh")
        return QStringLiteral("zh_CN");
    if (language == u"pt")
        return QStringLiteral("pt_BR");
    if (language == u"en")
        return QStringLiteral("en");
    return QString();
}

}  // namespace

CLanguage::CLanguage() = default;

CLanguage::~CLanguage()
{
    Remove();
}

QStringList CLanguage::Available()
{
    return {QStringLiteral("zh_CN"), QStringLiteral("pt_BR"), QStringLiteral("en")};
}

QString CLanguage::Choose(const std::string& setting, const QLocale& locale)
{
    const QString value = QString::fromStdString(setting).trimmed();
    if (value.compare(u"source", Qt::CaseInsensitive) == 0)
        return QString();
    if (const QString chosen = Carried(value); !chosen.isEmpty())
        return chosen;
    for (const QString& tag : locale.uiLanguages())
        if (const QString chosen = Carried(tag); !chosen.isEmpty())
            return chosen;
    return QString();
}

bool CLanguage::Install(const QString& lang)
{
    Remove();
    if (lang.isEmpty())
        return true;
    auto program = std::make_unique<QTranslator>();
    if (!program->load(QStringLiteral("tessaline_") + lang, QStringLiteral(":/i18n")))
        return false;
    QCoreApplication::installTranslator(program.get());
    m_pProgram = std::move(program);
    // Without Qt's own file the standard dialogs stay in English; the program's texts are translated still.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + lang, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        m_pQt = std::move(qt);
    }
    m_strLanguage = lang;
    return true;
}

void CLanguage::Remove()
{
    for (std::unique_ptr<QTranslator>* p : {&m_pProgram, &m_pQt}) {
        if (*p)
            QCoreApplication::removeTranslator(p->get());
        p->reset();
    }
    m_strLanguage.clear();
}
