-- The catalogue's rebuild without a sort of every row, with the rows written in the order they lie.
--
-- Sorted by their contents, the 200,000 rows of a school made a sort of about 600 MB (the contents'
-- texts at their full declared widths) before the first article could be made: seconds in which the
-- count stood still. Written in the order of their contents, the rows of one article lie on pages all
-- over the table: each write needed a page the cache had just given up, and the rebuild wrote about as
-- many pages as rows. Here:
--  1. the rows are read in the order they lie, and each content's oldest row is noted
--     (TKVA_CONTENUTI, rows of the transaction, found again by the description's index);
--  2. the articles are made from those contents, sorted (a few thousand), keys drawn in the order the
--     catalogue's distinct contents had (code, publisher, author, title, description), as before;
--  3. the rows are read again in the order they lie, each finds its article by its description and is
--     written once, so that each page is written about once;
--  4. the old catalogue goes, as before.
--
-- A result row for each hundred rows read or linked and for each article made, with the rows gone
-- through so far counted twice (once read for the contents, once linked): the caller shows how far it
-- is, and its count moves however large the school.

CREATE GLOBAL TEMPORARY TABLE TKVA_CONTENUTI (
  IAFCID INTEGER,
  SSDESC VARCHAR(7),
  SLDESC VARCHAR(400),
  SEDITORE VARCHAR(100),
  SAUTORE VARCHAR(100),
  STITOLO VARCHAR(100)
) ON COMMIT DELETE ROWS;

CREATE INDEX IX_KVA_CONTENUTI_LDESC ON TKVA_CONTENUTI (SLDESC);

SET TERM ^ ;

CREATE OR ALTER PROCEDURE PKVA_RICOSTRUISCICATALOGO
RETURNS (IRIGHE INTEGER)
AS
DECLARE VARIABLE IAFCID INTEGER;
DECLARE VARIABLE SSDESC TYPE OF COLUMN TAFC_ARTVELIST.SAFCSDESC;
DECLARE VARIABLE SLDESC TYPE OF COLUMN TAFC_ARTVELIST.SAFCLDESC;
DECLARE VARIABLE SEDITORE TYPE OF COLUMN TAFC_ARTVELIST.SAFCLIBEDITORE;
DECLARE VARIABLE SAUTORE TYPE OF COLUMN TAFC_ARTVELIST.SAFCLIBAUTORE;
DECLARE VARIABLE STITOLO TYPE OF COLUMN TAFC_ARTVELIST.SAFCLIBTITOLO;
DECLARE VARIABLE IVECCHIO INTEGER;
DECLARE VARIABLE IFARID INTEGER;
DECLARE VARIABLE IPRIMO INTEGER;
BEGIN
  IRIGHE = 0;
  DELETE FROM TKVA_CONTENUTI;

  -- 1. The rows in the order they lie; each content's oldest row.
  FOR SELECT afc.IAFCID, afc.SAFCSDESC, afc.SAFCLDESC, COALESCE(afc.SAFCLIBEDITORE, ''),
             COALESCE(afc.SAFCLIBAUTORE, ''), COALESCE(afc.SAFCLIBTITOLO, '')
        FROM TAFC_ARTVELIST afc
        INTO :IAFCID, :SSDESC, :SLDESC, :SEDITORE, :SAUTORE, :STITOLO
  DO
  BEGIN
    IVECCHIO = NULL;
    SELECT FIRST 1 c.IAFCID FROM TKVA_CONTENUTI c
     WHERE c.SLDESC IS NOT DISTINCT FROM :SLDESC AND c.SSDESC IS NOT DISTINCT FROM :SSDESC
       AND c.SEDITORE = :SEDITORE AND c.SAUTORE = :SAUTORE AND c.STITOLO = :STITOLO
      INTO :IVECCHIO;
    IF (IVECCHIO IS NULL) THEN
      INSERT INTO TKVA_CONTENUTI (IAFCID, SSDESC, SLDESC, SEDITORE, SAUTORE, STITOLO)
      VALUES (:IAFCID, :SSDESC, :SLDESC, :SEDITORE, :SAUTORE, :STITOLO);
    ELSE IF (IAFCID < IVECCHIO) THEN
      UPDATE TKVA_CONTENUTI c SET c.IAFCID = :IAFCID
       WHERE c.SLDESC IS NOT DISTINCT FROM :SLDESC AND c.SSDESC IS NOT DISTINCT FROM :SSDESC
         AND c.SEDITORE = :SEDITORE AND c.SAUTORE = :SAUTORE AND c.STITOLO = :STITOLO;
    IRIGHE = IRIGHE + 1;
    IF (MOD(IRIGHE, 100) = 0) THEN
      SUSPEND;
  END

  -- 2. The articles, in the order of their contents, each with its content's oldest row's attributes.
  FOR SELECT c.SSDESC, c.SLDESC, c.SEDITORE, c.SAUTORE, c.STITOLO, c.IAFCID
        FROM TKVA_CONTENUTI c
       ORDER BY c.SSDESC, c.SEDITORE, c.SAUTORE, c.STITOLO, c.SLDESC, c.IAFCID
        INTO :SSDESC, :SLDESC, :SEDITORE, :SAUTORE, :STITOLO, :IAFCID
  DO
  BEGIN
    -- A key still held by an article of the old catalogue (one stored with a key of its own) is
    -- passed over.
    SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0) INTO :IFARID;
    WHILE (EXISTS (SELECT 1 FROM TFAR_FACARTICOLI WHERE IFARID = :IFARID)) DO
      SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0) INTO :IFARID;
    IF (IPRIMO IS NULL) THEN
      IPRIMO = IFARID;
    INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, SFARLDESC,
                                  ICFMID, ICAFID, IDCMID, IMERID, IUNMID, IALVID)
    SELECT :IFARID, :SSDESC, :SEDITORE, :SAUTORE, :STITOLO, :SLDESC, afc.ICFMID, afc.ICAFID, afc.IDCMID,
           afc.IMERID, afc.IUNMID, afc.IALVID
      FROM TAFC_ARTVELIST afc
     WHERE afc.IAFCID = :IAFCID;
    SUSPEND;
  END
  DELETE FROM TKVA_CONTENUTI;

  -- 3. Every row linked to its article, in the order the rows lie. The new articles are those from the
  -- first key drawn on; a row already naming its article is left as it is.
  FOR SELECT afc.SAFCSDESC, afc.SAFCLDESC, COALESCE(afc.SAFCLIBEDITORE, '') AS SEDITORE,
             COALESCE(afc.SAFCLIBAUTORE, '') AS SAUTORE, COALESCE(afc.SAFCLIBTITOLO, '') AS STITOLO, afc.IFARID
        FROM TAFC_ARTVELIST afc
        INTO :SSDESC, :SLDESC, :SEDITORE, :SAUTORE, :STITOLO, :IVECCHIO
  AS CURSOR RIGA
  DO
  BEGIN
    IFARID = NULL;
    SELECT FIRST 1 far.IFARID FROM TFAR_FACARTICOLI far
     WHERE far.SFARLDESC IS NOT DISTINCT FROM :SLDESC AND far.IFARID >= :IPRIMO
       AND far.SFARSDESC IS NOT DISTINCT FROM :SSDESC AND far.SFARLIBEDITORE = :SEDITORE
       AND far.SFARLIBAUTORE = :SAUTORE AND far.SFARLIBTITOLO = :STITOLO
      INTO :IFARID;
    IF (IFARID IS DISTINCT FROM IVECCHIO) THEN
      UPDATE TAFC_ARTVELIST SET IFARID = :IFARID WHERE CURRENT OF RIGA;
    IRIGHE = IRIGHE + 1;
    IF (MOD(IRIGHE, 100) = 0) THEN
      SUSPEND;
  END

  -- 4. The old catalogue: the articles no row names now.
  DELETE FROM TFAR_FACARTICOLI far
   WHERE NOT EXISTS (SELECT 1 FROM TAFC_ARTVELIST afc WHERE afc.IFARID = far.IFARID);
  SUSPEND;
END^

SET TERM ; ^
