#pragma once
// The contacts of a beneficiary, one list each: phone numbers (with whether the number is shown),
// e-mail addresses (with whether they are printed) and web sites, each with one required value and
// no check of its form; and its contribution-regularity certificates, only read here.
#include "VoDBFrames.h"

class TVoDBCheckBox;
class TVoDBEdit;

class TfrNumTelefono : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrNumTelefono(QWidget *parent = nullptr);

    TVoDBEdit *xdeNumTelefono;
    TVoDBEdit *xdeDescr;
    TVoDBCheckBox *axCkView;
    // The picture of the numbers shown.
    int imgVisualizzato;

    int ViewColumn() const { return m_viewColumn; }

    void xacPostExecute(TVoDataAction *Sender);
    void grFrameDrawColumnCell(TVoDBGrid *Sender, QPainter *Painter, const QRect &Rect, int Row, int Column);

private:
    int m_viewColumn = -1;
};

class TfrEmail : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrEmail(QWidget *parent = nullptr);

    TVoDBEdit *xdeEmail;
    TVoDBCheckBox *ckView;

    void xacPostExecute(TVoDataAction *Sender);
};

class TfrSitiWeb : public TfrVoDBRWGrid {
    Q_OBJECT
public:
    explicit TfrSitiWeb(QWidget *parent = nullptr);

    TVoDBEdit *xdeWeb;

    void xacPostExecute(TVoDataAction *Sender);
};

class TfrAbiDurc : public TfrVoDBROGrid {
    Q_OBJECT
public:
    explicit TfrAbiDurc(QWidget *parent = nullptr);
};
