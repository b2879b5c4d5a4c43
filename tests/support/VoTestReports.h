#pragma once
// Checks the report tests of both programs share.
#include "VoRptEngine.h"
#include "VoRptLayout.h"

#include <QStringList>
#include <gtest/gtest.h>

// Every variable the layout prints is one the program publishes, and every list it reads exists.
inline void VoExpectLayoutReferencesKnown(const TVoRptLayout &layout) {
    for (const TVoRptReference &r : layout.References()) {
        if (r.kind == TVoRptReference::rkVariable)
            EXPECT_TRUE(VoRptVariablePublished(r.name)) << r.name.toStdString();
        else
            EXPECT_NE(TfrDBDataSet::Find(r.dataSet), nullptr) << r.dataSet.toStdString();
    }
}

// The text printed place texts after a caption (the figures on its right, as pages list their texts),
// empty when the caption is not printed.
inline QString VoRptTextAfter(const QStringList &texts, const QString &caption, int place = 1) {
    const qsizetype at = texts.indexOf(caption);
    return at < 0 ? QString() : texts.value(at + place);
}
