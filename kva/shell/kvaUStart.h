#pragma once
// Starting the sibling programs: the durable-goods program gets the seven connection values of this
// one, the invoice register the first three.
#include "AbcMAtt.h" // the invoice register's arguments, KviArguments

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

class TVoSQLConnection;

// The seven double-quoted placeholders, in order, separated by single blanks.
extern const char *const kvaKvbTemplate;

// Fills a template's placeholders from the connection's values in one pass, so that a value that
// itself contains a placeholder text is passed unchanged: "%_C%", "%_U%" and "%_F%" are matched
// ignoring case, "%_P%" and the three "%_RDBMS_..%" exactly.
QString FillConnectionPlaceholders(const QString &text, const TVoSQLConnection &connection);
// The command line of the durable-goods program (the template's quoted values filled in).
QString BuildKvbCommandLine(const QString &tmpl, const TVoSQLConnection &connection);
// The same values as a list of separate arguments, as they are handed to the program.
QStringList BuildKvbArguments(const QString &tmpl, const TVoSQLConnection &connection);

// The 30 pictures of the menu, in the order the menu items refer to them by index.
QList<QIcon> kvaMenuImages();
