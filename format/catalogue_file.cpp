#include "catalogue_file.h"

#include "format/story_facts.h"

namespace vorta {

CatalogueEntry CatalogueReader::next()
{
    if (m_pairs == kMaxGenres)
        m_reader.fail(ErrorKind::SubscriptOutOfRange, m_reader.line(),
                      QStringLiteral("больше %1 жанров").arg(kMaxGenres));
    ++m_pairs;
    CatalogueEntry entry;
    entry.line = m_reader.line();
    entry.name = m_reader.readValue();
    entry.dirLine = m_reader.line();
    entry.dir = m_reader.readValue();
    return entry;
}

QString catalogueLine(const QString &name, const QString &dir)
{
    const QString shownName =
        name.contains(QLatin1Char(',')) ? QLatin1Char('"') + name + QLatin1Char('"') : name;
    return shownName + QLatin1Char(',') + dir;
}

} // namespace vorta
