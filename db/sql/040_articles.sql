-- Code tables of the consumables register and its article catalogue: conditions, causals,
-- categories, goods codes with their details and their category links, storage locations, VAT
-- rates, units of measure, documents with their types, and the articles.
--
-- Rates and unit factors are DOUBLE PRECISION like the quantities and costs they multiply (see
-- 050_vouchers.sql for why). A code that articles or documents point to cannot be deleted while they
-- do; the registry windows report the refusal.

-- Conditions of the goods.
CREATE TABLE TCOND_CONDIZIONI (
  ICONDID      INTEGER NOT NULL PRIMARY KEY,
  SCONDCODICE  VARCHAR(20),
  SCONDDESC    VARCHAR(250),
  ILOCKED      INTEGER
);

-- Causals of both programs: ICAVTIPO 0 for loading rows, 1 for unloading rows.
CREATE TABLE TCAV_CAUSALIINV (
  ICAVID        INTEGER NOT NULL PRIMARY KEY,
  SCAVCODICE    VARCHAR(20),
  SCAVDESC      VARCHAR(250),
  ICAVTIPO      INTEGER,
  SCAVCAPITOLO  VARCHAR(50),
  ILOCKED       INTEGER,
  CONSTRAINT UQ_CAV_CODICE UNIQUE (SCAVCODICE)
);

-- Categories; 5 is the books category.
CREATE TABLE TCAF_CATEGORIEFAC (
  ICAFID      INTEGER NOT NULL PRIMARY KEY,
  SCAFCODICE  VARCHAR(20),
  SCAFDESC    VARCHAR(250),
  ILOCKED     INTEGER
);

-- Goods codes of both programs; LMERPRG tells which program made the code ('F' here).
CREATE TABLE TMER_CODICIMERCEOL (
  IMERID      INTEGER NOT NULL PRIMARY KEY,
  SMERCODICE  VARCHAR(20),
  SMERDESC    VARCHAR(250),
  LMERPRG     VARCHAR(1)
);

-- The goods codes allowed in each category; a goods code belongs to at most one category.
CREATE TABLE TCFM_CATEGFACMERCE (
  ICFMID  INTEGER NOT NULL PRIMARY KEY,
  ICAFID  INTEGER NOT NULL,
  IMERID  INTEGER NOT NULL,
  CONSTRAINT FK_CFM_CAF FOREIGN KEY (ICAFID) REFERENCES TCAF_CATEGORIEFAC (ICAFID) USING INDEX IX_CFM_CAF,
  CONSTRAINT FK_CFM_MER FOREIGN KEY (IMERID) REFERENCES TMER_CODICIMERCEOL (IMERID) USING INDEX IX_CFM_MER,
  CONSTRAINT UQ_CFM_MER UNIQUE (IMERID)
);

-- Details of a goods code.
CREATE TABLE TDCM_DETTCODMERC (
  IDCMID     INTEGER NOT NULL PRIMARY KEY,
  IMERID     INTEGER NOT NULL,
  SDCMDESCS  VARCHAR(5),
  SDCMDESCL  VARCHAR(120),
  CONSTRAINT FK_DCM_MER FOREIGN KEY (IMERID) REFERENCES TMER_CODICIMERCEOL (IMERID) USING INDEX IX_DCM_MER
);

-- Storage locations.
CREATE TABLE TCLC_COLLOCAZIONI (
  ICLCID     INTEGER NOT NULL PRIMARY KEY,
  SCLCDESCS  VARCHAR(20),
  SCLCDESCL  VARCHAR(250)
);

-- VAT rates, FALVIVA in percent.
CREATE TABLE TALV_ALIQUOTEIVA (
  IALVID     INTEGER NOT NULL PRIMARY KEY,
  SALVDESCS  VARCHAR(5),
  SALVDESCL  VARCHAR(120),
  FALVIVA    DOUBLE PRECISION,
  ILOCKED    INTEGER
);

-- Units of measure. Goods are loaded in one measure and handed out in another: FUNMFATTOREPROP
-- unloading measures make one loading measure (a box of 12 pieces has 12). The stock procedures
-- count NULL or 0 as 1.
CREATE TABLE TUNM_UNITAMISURA (
  IUNMID           INTEGER NOT NULL PRIMARY KEY,
  SUNMCOD          VARCHAR(5),
  SUNMDESCS        VARCHAR(120),
  SUNMDESCL        VARCHAR(120),
  SUNMMISCARICO    VARCHAR(5),
  SUNMMISSCARICO   VARCHAR(5),
  FUNMFATTOREPROP  DOUBLE PRECISION DEFAULT 1,
  ILOCKED          INTEGER
);

-- Document types and documents (shared with the durable-goods program). SIDCPRG marks the program
-- that wrote a document; this one lists the codes '1____'.
CREATE TABLE TTID_TIPOINVDOC (
  ITIDID      INTEGER NOT NULL PRIMARY KEY,
  STIDCODICE  VARCHAR(20),
  STIDDESC    VARCHAR(250),
  ILOCKED     INTEGER
);

CREATE TABLE TIDC_INVDOC (
  IIDCID      INTEGER NOT NULL PRIMARY KEY,
  DIDCDATA    DATE,
  SIDCNUMERO  VARCHAR(50),
  SIDCDESC    VARCHAR(250),
  ITIDID      INTEGER,
  IBENID      INTEGER,
  SIDCPRG     VARCHAR(5),
  CONSTRAINT FK_IDC_TID FOREIGN KEY (ITIDID) REFERENCES TTID_TIPOINVDOC (ITIDID) USING INDEX IX_IDC_TID
);
CREATE INDEX IX_IDC_DATA ON TIDC_INVDOC (DIDCDATA);
-- The supplier or recipient is a beneficiary of the shared registries, whose rows that program keeps.
CREATE INDEX IX_IDC_BEN ON TIDC_INVDOC (IBENID);

-- The article catalogue. A book's long description is its title (at most 100 characters), author
-- and publisher joined by " - ", which the lengths below hold.
--
-- Category and goods code carry no foreign key: the article finder stores the caller's values as
-- they come, and the imports pass -1 or 0 for an unknown one. Detail, link, unit and VAT rate are
-- stored as NULL when unknown, so they can be checked.
CREATE TABLE TFAR_FACARTICOLI (
  IFARID          INTEGER NOT NULL PRIMARY KEY,
  SFARSDESC       VARCHAR(7),
  SFARLDESC       VARCHAR(400),
  SFARLIBTITOLO   VARCHAR(100),
  SFARLIBAUTORE   VARCHAR(100),
  SFARLIBEDITORE  VARCHAR(100),
  ICAFID          INTEGER,
  IMERID          INTEGER,
  IDCMID          INTEGER,
  ICFMID          INTEGER,
  IUNMID          INTEGER,
  IALVID          INTEGER,
  CONSTRAINT FK_FAR_DCM FOREIGN KEY (IDCMID) REFERENCES TDCM_DETTCODMERC (IDCMID) USING INDEX IX_FAR_DCM,
  CONSTRAINT FK_FAR_CFM FOREIGN KEY (ICFMID) REFERENCES TCFM_CATEGFACMERCE (ICFMID) USING INDEX IX_FAR_CFM,
  CONSTRAINT FK_FAR_UNM FOREIGN KEY (IUNMID) REFERENCES TUNM_UNITAMISURA (IUNMID) USING INDEX IX_FAR_UNM,
  CONSTRAINT FK_FAR_ALV FOREIGN KEY (IALVID) REFERENCES TALV_ALIQUOTEIVA (IALVID) USING INDEX IX_FAR_ALV
);
-- Codes are looked up for duplicates and for the highest one; articles are found by description
-- ignoring case, for books also by title.
CREATE INDEX IX_FAR_SDESC ON TFAR_FACARTICOLI (SFARSDESC);
CREATE INDEX IX_FAR_LDESC_UP ON TFAR_FACARTICOLI COMPUTED BY (UPPER(SFARLDESC));
CREATE INDEX IX_FAR_TITOLO_UP ON TFAR_FACARTICOLI COMPUTED BY (UPPER(SFARLIBTITOLO));
CREATE INDEX IX_FAR_CAF ON TFAR_FACARTICOLI (ICAFID);
CREATE INDEX IX_FAR_MER ON TFAR_FACARTICOLI (IMERID);
