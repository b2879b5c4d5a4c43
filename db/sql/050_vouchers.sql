-- Vouchers of the consumables register: headers, article rows, links to documents, the sector
-- history of unloading rows, and the view through which windows and reports read the rows.
--
-- Quantities and unit costs are DOUBLE PRECISION. Unloading rows hold quantities in unloading
-- measures, which the stock divides by the unit factor (a third of a box is no exact decimal), and
-- costs per unloading measure are average costs divided by that factor: NUMERIC(18,6) would cut
-- both at every step. NUMERIC would also overflow where quantity and cost are multiplied (the
-- product of two scale-6 values has scale 12 and leaves about seven integer digits). Doubles keep
-- 15 significant digits, so sums over a register's rows are exact to far below the sixth decimal
-- to which the stock procedures round their results and their sign tests.

-- Voucher headers. IFBUOTIPO 0 loading, 1 unloading. Numbers are not unique in the table: the
-- numbering scope may span several register-years, and the year closing numbers its opening
-- voucher 1 without looking; the windows check numbers before saving.
CREATE TABLE TFBUO_BUONI (
  IFBUOID         INTEGER NOT NULL PRIMARY KEY,
  IDWGFACANFID    INTEGER NOT NULL,
  IFBUONUMERO     INTEGER,
  DFBUODATA       DATE,
  IBENID          INTEGER,
  SFBUODESC       VARCHAR(250),
  IFBUOTIPO       INTEGER NOT NULL,
  DFBUOPROTDATA   DATE,
  SFBUOPROTNUM    VARCHAR(50),
  ILOCKED         INTEGER DEFAULT 0,
  IMGMID          INTEGER,
  SFBUOUSE        VARCHAR(20),
  IFBUOID_P       INTEGER,
  LFBUOSCARICATO  INTEGER,
  DINSERT         TIMESTAMP DEFAULT CURRENT_TIMESTAMP,
  CONSTRAINT CK_FBUO_TIPO CHECK (IFBUOTIPO IN (0, 1)),
  CONSTRAINT FK_FBUO_DWGFACANF FOREIGN KEY (IDWGFACANFID) REFERENCES TDWGFACANF (IDWGFACANFID)
    USING INDEX IX_FBUO_DWGFACANF,
  -- The loading voucher an unloading voucher was generated from is only a marker: deleting it
  -- leaves the unloading voucher without one.
  CONSTRAINT FK_FBUO_PADRE FOREIGN KEY (IFBUOID_P) REFERENCES TFBUO_BUONI (IFBUOID) ON DELETE SET NULL
    USING INDEX IX_FBUO_PADRE
);
-- Numbering (highest number, number taken, date limits of the neighbours) and the voucher lists
-- look vouchers up by register-year, kind and number; reports by register-year and date.
CREATE INDEX IX_FBUO_ANNO_TIPO_NUM ON TFBUO_BUONI (IDWGFACANFID, IFBUOTIPO, IFBUONUMERO);
CREATE INDEX IX_FBUO_ANNO_DATA ON TFBUO_BUONI (IDWGFACANFID, DFBUODATA);
CREATE INDEX IX_FBUO_TIPO_NUM ON TFBUO_BUONI (IFBUOTIPO, IFBUONUMERO);
-- Supplier and warehouse movement belong to other programs' tables: looked up, never enforced.
CREATE INDEX IX_FBUO_BEN ON TFBUO_BUONI (IBENID);
CREATE INDEX IX_FBUO_MGM ON TFBUO_BUONI (IMGMID);

-- Voucher rows. Category, goods code, detail and unit are read from the article (the view); the
-- row's own columns of that name are written only by the rows window's update. SAFC* are the
-- descriptions rows carried before the article catalogue existed, read once when it is built.
--
-- Sector, responsible, budget item, site, VAT rate, causal, condition and location carry no foreign
-- key: the first three live in the shared registries, and the windows and the generation wizard
-- write fixed proposals and 0 for an empty lookup.
CREATE TABLE TAFC_ARTVELIST (
  IAFCID          INTEGER NOT NULL PRIMARY KEY,
  IFBUOID         INTEGER NOT NULL,
  IFARID          INTEGER,
  FAFCQUANTITA    DOUBLE PRECISION,
  FAFCCOSTOUNIT   DOUBLE PRECISION,
  IALVID          INTEGER,
  ICAVID          INTEGER,
  ICONDID         INTEGER,
  ISECID          INTEGER,
  IRSPID          INTEGER,
  ISEDINFID       INTEGER,
  ICLCID          INTEGER,
  IVPROID         INTEGER,
  BAFCNOTE        BLOB SUB_TYPE TEXT,
  DINSERT         TIMESTAMP DEFAULT CURRENT_TIMESTAMP,
  IINBANNOASSUNZ  INTEGER,
  IAFCPROGR       INTEGER,
  ICFMID          INTEGER,
  ICAFID          INTEGER,
  IDCMID          INTEGER,
  IMERID          INTEGER,
  IUNMID          INTEGER,
  SAFCSDESC       VARCHAR(7),
  SAFCLDESC       VARCHAR(400),
  SAFCLIBTITOLO   VARCHAR(100),
  SAFCLIBAUTORE   VARCHAR(100),
  SAFCLIBEDITORE  VARCHAR(100),
  -- The windows delete a voucher's rows themselves before its header, and an article in use is
  -- never deleted: both stay refused here.
  CONSTRAINT FK_AFC_FBUO FOREIGN KEY (IFBUOID) REFERENCES TFBUO_BUONI (IFBUOID) USING INDEX IX_AFC_FBUO,
  CONSTRAINT FK_AFC_FAR FOREIGN KEY (IFARID) REFERENCES TFAR_FACARTICOLI (IFARID) USING INDEX IX_AFC_FAR
);
-- The stock procedures start from an article's rows (IX_AFC_FAR); sector reports filter on sector.
CREATE INDEX IX_AFC_SEC ON TAFC_ARTVELIST (ISECID);

-- Documents linked to a voucher, each at most once.
CREATE TABLE TFBUOIDC (
  IFBUOIDCID  INTEGER NOT NULL PRIMARY KEY,
  IFBUOID     INTEGER NOT NULL,
  IIDCID      INTEGER NOT NULL,
  CONSTRAINT FK_FBUOIDC_FBUO FOREIGN KEY (IFBUOID) REFERENCES TFBUO_BUONI (IFBUOID) USING INDEX IX_FBUOIDC_FBUO,
  CONSTRAINT FK_FBUOIDC_IDC FOREIGN KEY (IIDCID) REFERENCES TIDC_INVDOC (IIDCID) USING INDEX IX_FBUOIDC_IDC,
  CONSTRAINT UQ_FBUOIDC UNIQUE (IFBUOID, IIDCID)
);

-- Sector history of unloading rows: one period per sector the row was in, DEND NULL while current.
-- The rows window deletes a row without touching its history, so the history goes with the row.
CREATE TABLE TASE_ARTFCSETTORI (
  IASEID  INTEGER NOT NULL PRIMARY KEY,
  IAFCID  INTEGER NOT NULL,
  ISECID  INTEGER,
  DSTART  TIMESTAMP,
  DEND    TIMESTAMP,
  CONSTRAINT FK_ASE_AFC FOREIGN KEY (IAFCID) REFERENCES TAFC_ARTVELIST (IAFCID) ON DELETE CASCADE
    USING INDEX IX_ASE_AFC
);
-- At most one open period per row: closed periods index as NULL, which a unique index lets repeat.
CREATE UNIQUE INDEX UX_ASE_APERTO ON TASE_ARTFCSETTORI COMPUTED BY (IIF(DEND IS NULL, IAFCID, NULL));

-- One row per voucher row with its voucher, register-year, financial year, register and the
-- descriptions of every code it names. Category, goods code, detail, link and unit are the
-- article's; the VAT rate is the row's own. The two totals are those every window and report shows:
-- quantity times unit cost, and the same with the row's VAT added (a missing rate counts as 0).
CREATE VIEW VAFC_ARTVELIST (
  IAFCID, IFBUOID, IDWGFACANFID, IANFID, IANFVALORE, DANFVOREXINIZIO, DANFVOREXFINE, DDWGFACANFINIZIO,
  DDWGFACANFFINE, IDWGFACID, IDWGID, IFACID, IBENID, IFBUONUMERO, DFBUODATA, SFBUODESC, IFBUOTIPO,
  DFBUOPROTDATA, SFBUOPROTNUM, ILOCKED, DINSERT_FBUO, IMGMID, SFBUOUSE, IFBUOID_P, LFBUOSCARICATO,
  ICLCID, SCLCDESCS, SCLCDESCL, ISECID, SSECCOD, SSECDESCS, SSECDESCL, ISEDINFID, SSEDINFLDESC,
  SSEDINFSDESC, SSEDINFCODMECC, IVPROID, ICAVID, SCAVCODICE, SCAVDESC, ICONDID, SCONDCODICE,
  SCONDDESC, DINSERT_AFC, FAFCQUANTITA, FAFCCOSTOUNIT, FAFCTOTALE, FAFCTOTALE_CONIVA, SFARLDESC,
  SFARSDESC, BAFCNOTE, IAFCPROGR, IALVID, SALVDESCS, SALVDESCL, FALVIVA, ICFMID, ICAFID, SCAFCODICE,
  SCAFDESC, IDCMID, SDCMDESCS, SDCMDESCL, IMERID, SMERCODICE, SMERDESC, IINBANNOASSUNZ, IUNMID,
  SUNMCOD, SUNMDESCS, SUNMDESCL, SUNMMISCARICO, SUNMMISSCARICO, FUNMFATTOREPROP, SFARLIBEDITORE,
  SFARLIBAUTORE, SFARLIBTITOLO, IRSPID, IFARID
) AS
SELECT afc.IAFCID, afc.IFBUOID, buo.IDWGFACANFID, anf.IANFID, anf.IANFVALORE, anf.DANFVOREXINIZIO,
       anf.DANFVOREXFINE, dfa.DDWGFACANFINIZIO, dfa.DDWGFACANFFINE, dfa.IDWGFACID, df.IDWGID, df.IFACID,
       buo.IBENID, buo.IFBUONUMERO, buo.DFBUODATA, buo.SFBUODESC, buo.IFBUOTIPO, buo.DFBUOPROTDATA,
       buo.SFBUOPROTNUM, buo.ILOCKED, buo.DINSERT, buo.IMGMID, buo.SFBUOUSE, buo.IFBUOID_P,
       buo.LFBUOSCARICATO,
       afc.ICLCID, clc.SCLCDESCS, clc.SCLCDESCL, afc.ISECID, sec.SSECCOD, sec.SSECDESCS, sec.SSECDESCL,
       afc.ISEDINFID, sed.SSEDINFLDESC, sed.SSEDINFSDESC, sed.SSEDINFCODMECC, afc.IVPROID,
       afc.ICAVID, cav.SCAVCODICE, cav.SCAVDESC, afc.ICONDID, cond.SCONDCODICE, cond.SCONDDESC,
       afc.DINSERT, afc.FAFCQUANTITA, afc.FAFCCOSTOUNIT,
       CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA AS NUMERIC(11, 6)),
       CAST(afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA
            + afc.FAFCCOSTOUNIT * afc.FAFCQUANTITA * COALESCE(alv.FALVIVA, 0) / 100 AS NUMERIC(11, 6)),
       far.SFARLDESC, far.SFARSDESC, afc.BAFCNOTE, afc.IAFCPROGR, afc.IALVID, alv.SALVDESCS,
       alv.SALVDESCL, alv.FALVIVA, far.ICFMID, far.ICAFID, caf.SCAFCODICE, caf.SCAFDESC, far.IDCMID,
       dcm.SDCMDESCS, dcm.SDCMDESCL, far.IMERID, mer.SMERCODICE, mer.SMERDESC, afc.IINBANNOASSUNZ,
       far.IUNMID, unm.SUNMCOD, unm.SUNMDESCS, unm.SUNMDESCL, unm.SUNMMISCARICO, unm.SUNMMISSCARICO,
       unm.FUNMFATTOREPROP, far.SFARLIBEDITORE, far.SFARLIBAUTORE, far.SFARLIBTITOLO, afc.IRSPID,
       afc.IFARID
  FROM TAFC_ARTVELIST afc
  INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
  INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACANFID = buo.IDWGFACANFID
  INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
  INNER JOIN TANF_ANNIFINANZ anf ON anf.IANFID = dfa.IANFID
  LEFT JOIN TFAR_FACARTICOLI far ON far.IFARID = afc.IFARID
  LEFT JOIN TCAF_CATEGORIEFAC caf ON caf.ICAFID = far.ICAFID
  LEFT JOIN TMER_CODICIMERCEOL mer ON mer.IMERID = far.IMERID
  LEFT JOIN TDCM_DETTCODMERC dcm ON dcm.IDCMID = far.IDCMID
  LEFT JOIN TUNM_UNITAMISURA unm ON unm.IUNMID = far.IUNMID
  LEFT JOIN TALV_ALIQUOTEIVA alv ON alv.IALVID = afc.IALVID
  LEFT JOIN TCAV_CAUSALIINV cav ON cav.ICAVID = afc.ICAVID
  LEFT JOIN TCOND_CONDIZIONI cond ON cond.ICONDID = afc.ICONDID
  LEFT JOIN TCLC_COLLOCAZIONI clc ON clc.ICLCID = afc.ICLCID
  LEFT JOIN TSEC_SETTCONS sec ON sec.ISECID = afc.ISECID
  LEFT JOIN TSEDINF_SEDEINFO sed ON sed.ISEDINFID = afc.ISEDINFID;
