#include "VoRptStore.h"

#include "VoExceptions.h"
#include "VoQuery.h"
#include "VoQueryCollection.h"
#include "VoRptLayout.h"
#include "VoTransaction.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <algorithm>

namespace {

const char *const kListSQL = "SELECT IYXLSID FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = :sYXlsCodice";
const char *const kNewListSQL = "INSERT INTO TYXLS_XMLLISTA (IYXLSID, SYXLSCODICE, SYXLSDESC) VALUES "
                                "(:iYXlsId, :sYXlsCodice, :sYXlsCodice)";
const char *const kLayoutSQL =
    "SELECT xar.IYXARID, xar.BYXARXMLFILE FROM TYXAR_XMLARCHIVIO xar INNER JOIN TYXLS_XMLLISTA xls ON "
    "(xls.IYXLSID = xar.IYXLSID) WHERE xls.SYXLSCODICE = :sYXlsCodice AND xar.SYXARCODICE = :sYXarCodice";
const char *const kLayoutsSQL =
    "SELECT xar.SYXARCODICE, xar.BYXARXMLFILE FROM TYXAR_XMLARCHIVIO xar INNER JOIN TYXLS_XMLLISTA xls ON "
    "(xls.IYXLSID = xar.IYXLSID) WHERE xls.SYXLSCODICE = :sYXlsCodice AND xar.SYXARCODICE STARTING WITH "
    "'RPT'";
const char *const kNewLayoutSQL =
    "INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, DINSERT) VALUES "
    "(:iYXarId, :iYXlsId, :sYXarCodice, :sYXarDesc, :bYXarXmlFile, (SELECT SERVERDATE FROM "
    "PYGETSERVERTIMESTAMP))";
const char *const kUpdateLayoutSQL = "UPDATE TYXAR_XMLARCHIVIO SET SYXARDESC = :sYXarDesc, BYXARXMLFILE = "
                                     ":bYXarXmlFile WHERE IYXARID = :iYXarId";
const char *const kCustomsSQL = "SELECT IYRPCID, IYRPTID, SYRPCDESC FROM TYRPC_RPTCUSTOM ORDER BY IYRPCID";
const char *const kCustomBaseSQL = "SELECT IYRPTID FROM TYRPC_RPTCUSTOM WHERE IYRPCID = :iYRpcId";

QString Code(int id) {
    return QStringLiteral("RPT") + QString::number(id);
}

} // namespace

QList<TVoRptEntry> VoRptEntries(const QString &codAppl, TVoSQLConnection *connection) {
    QList<TVoRptEntry> standard;
    QHash<QString, bool> stored; // codes of the layouts in the list
    TVoQuery layouts(QString::fromLatin1(kLayoutsSQL), connection);
    layouts.SetParam(QStringLiteral("sYXlsCodice"), codAppl);
    for (layouts.Open(); !layouts.Eof(); layouts.Next()) {
        const QString code = layouts.AsString(QStringLiteral("SYXARCODICE")).trimmed().toUpper();
        stored.insert(code, true);
        TVoRptEntry e;
        int version = 0;
        if (!TVoRptLayout::ReadHeader(layouts.AsString(QStringLiteral("BYXARXMLFILE")), &e.id, &e.title,
                                      &e.folder, &version))
            continue;
        e.id = code.mid(3).toInt();
        e.baseId = e.id;
        if (e.id > 0 && e.id < VoRptFirstCustomId)
            standard << e;
    }
    layouts.Close();
    std::sort(standard.begin(), standard.end(),
              [](const TVoRptEntry &a, const TVoRptEntry &b) { return a.id < b.id; });
    QList<TVoRptEntry> entries = standard;
    TVoQuery customs(QString::fromLatin1(kCustomsSQL), connection);
    for (customs.Open(); !customs.Eof(); customs.Next()) {
        TVoRptEntry e;
        e.id = customs.AsInteger(QStringLiteral("IYRPCID"));
        e.baseId = customs.AsInteger(QStringLiteral("IYRPTID"));
        e.title = customs.AsString(QStringLiteral("SYRPCDESC"));
        const auto base = std::find_if(standard.cbegin(), standard.cend(),
                                       [&](const TVoRptEntry &s) { return s.id == e.baseId; });
        if (e.id < VoRptFirstCustomId || base == standard.cend() || !stored.contains(Code(e.id)))
            continue;
        e.folder = base->folder;
        entries << e;
    }
    return entries;
}

QString VoRptLayoutText(const QString &codAppl, int id, TVoSQLConnection *connection) {
    TVoQuery q(QString::fromLatin1(kLayoutSQL), connection);
    q.SetParam(QStringLiteral("sYXlsCodice"), codAppl).SetParam(QStringLiteral("sYXarCodice"), Code(id));
    q.Open();
    if (q.Eof())
        throw EVoError(QStringLiteral("La stampa %1 non si trova nell'archivio delle stampe.").arg(id));
    return q.AsString(QStringLiteral("BYXARXMLFILE"));
}

namespace {

struct TStoredLayout {
    QVariant key; // invalid when the layout is not stored
    bool current = false;
};

TStoredLayout ReadStored(const QString &codAppl, const TVoRptLayout &layout, TVoSQLConnection *connection) {
    TVoQuery stored(QString::fromLatin1(kLayoutSQL), connection);
    stored.SetParam(QStringLiteral("sYXlsCodice"), codAppl)
        .SetParam(QStringLiteral("sYXarCodice"), Code(layout.id));
    stored.Open();
    TStoredLayout out;
    if (stored.Eof())
        return out;
    out.key = stored.Value(QStringLiteral("IYXARID"));
    int storedId = 0;
    int storedVersion = 0;
    QString title;
    QString folder;
    out.current = TVoRptLayout::ReadHeader(stored.AsString(QStringLiteral("BYXARXMLFILE")), &storedId, &title,
                                           &folder, &storedVersion) &&
                  storedVersion >= layout.version;
    return out;
}

int SeedMissingLayouts(const QString &codAppl, const QStringList &layouts, const QList<TVoRptLayout> &read,
                       TVoSQLConnection *connection) {
    QList<int> outdated;
    for (int i = 0; i < read.size(); ++i)
        if (!ReadStored(codAppl, read[i], connection).current)
            outdated << i;
    QVariant list =
        VoSelectValue(QString::fromLatin1(kListSQL), {{QStringLiteral("sYXlsCodice"), codAppl}}, connection);
    const bool listed = list.isValid() && !list.isNull();
    // Every program starts here: one that finds its layouts current writes nothing, so that it never
    // waits for, nor conflicts with, another starting at the same moment.
    if (outdated.isEmpty() && listed)
        return 0;
    if (!listed) {
        list = VoNewId(QStringLiteral("TYXLS_XMLLISTA"), connection);
        VoExecSQL(QString::fromLatin1(kNewListSQL),
                  {{QStringLiteral("iYXlsId"), list}, {QStringLiteral("sYXlsCodice"), codAppl}}, connection);
    }
    // Two programs starting together write each layout once: the second waits here and, when the
    // first has written, begins again and finds them current.
    VoLockRow(QStringLiteral("TYXLS_XMLLISTA"), QStringLiteral("IYXLSID"), list, connection);
    for (const int i : std::as_const(outdated)) {
        const TVoRptLayout &layout = read[i];
        const TStoredLayout stored = ReadStored(codAppl, layout, connection);
        const QVariantHash values{{QStringLiteral("sYXarDesc"), layout.title},
                                  {QStringLiteral("bYXarXmlFile"), layouts[i]}};
        if (stored.key.isValid()) {
            QVariantHash update = values;
            update.insert(QStringLiteral("iYXarId"), stored.key);
            VoExecSQL(QString::fromLatin1(kUpdateLayoutSQL), update, connection);
        } else {
            QVariantHash insert = values;
            insert.insert(QStringLiteral("iYXarId"),
                          VoNewId(QStringLiteral("TYXAR_XMLARCHIVIO"), connection));
            insert.insert(QStringLiteral("iYXlsId"), list);
            insert.insert(QStringLiteral("sYXarCodice"), Code(layout.id));
            VoExecSQL(QString::fromLatin1(kNewLayoutSQL), insert, connection);
        }
    }
    return int(outdated.size());
}

} // namespace

int VoRptSeedLayouts(const QString &codAppl, const QStringList &layouts, TVoSQLConnection *connection) {
    QList<TVoRptLayout> read;
    for (const QString &xml : layouts) {
        read << TVoRptLayout::Parse(xml);
        if (read.last().id <= 0 || read.last().id >= VoRptFirstCustomId)
            throw EVoError(QStringLiteral("%1: una stampa del programma ha un id da 1 a %2.")
                               .arg(read.last().Name())
                               .arg(VoRptFirstCustomId - 1));
    }
    int written = 0;
    VoWriteRetryingConflicts([&] { written = SeedMissingLayouts(codAppl, layouts, read, connection); },
                             connection);
    return written;
}

int VoRptBaseId(int id, TVoSQLConnection *connection) {
    if (id < VoRptFirstCustomId)
        return id;
    return VoSelectValue(QString::fromLatin1(kCustomBaseSQL), {{QStringLiteral("iYRpcId"), id}}, connection)
        .toInt();
}

QStringList VoRptResourceLayouts(const QString &folder) {
    QStringList layouts;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            layouts << QString::fromUtf8(file.readAll());
    }
    return layouts;
}
