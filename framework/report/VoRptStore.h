#pragma once
// Where the layouts are kept: a row of the XML archive in the list of the program's application code,
// coded "RPT" and the report id, found by list and code. The standard layouts come with the program
// and are written at its start when missing or older; a customised report (ids from 1000000) is a
// row of the custom reports table (its id, the report it was made from, its title) with its layout
// beside the standard ones, and the start never touches it.
#include <QList>
#include <QString>
#include <QStringList>

class TVoSQLConnection;

// The first id of the customised reports.
inline constexpr int VoRptFirstCustomId = 1000000;

struct TVoRptEntry {
    int id = 0;
    // The report a customised report was made from; the id itself for a standard report.
    int baseId = 0;
    QString title;
    QString folder;
};

// The reports of an application code: the standard ones, then the customised ones whose row and
// layout are both there.
QList<TVoRptEntry> VoRptEntries(const QString &codAppl, TVoSQLConnection *connection = nullptr);
// A report's layout text; a missing one raises EVoError.
QString VoRptLayoutText(const QString &codAppl, int id, TVoSQLConnection *connection = nullptr);
// Writes every standard layout that is missing or whose stored version is older, all in one
// transaction (the application's list is made when there is none); returns how many were written.
// A layout that cannot be read raises EVoError and nothing is written.
int VoRptSeedLayouts(const QString &codAppl, const QStringList &layouts,
                     TVoSQLConnection *connection = nullptr);
// The layouts a program carries in a resource folder ("*.xml"), by file name.
QStringList VoRptResourceLayouts(const QString &folder);
// The report a customised report id was made from (the id itself below VoRptFirstCustomId).
int VoRptBaseId(int id, TVoSQLConnection *connection = nullptr);
