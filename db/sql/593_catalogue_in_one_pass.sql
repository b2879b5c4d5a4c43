-- The catalogue's rebuild in one pass over the rows.
--
-- Made statement by statement, the rebuild unlinked every row, looked up each row's article among all
-- the articles to link it, and read each article's oldest row once per attribute, six times. Here the
-- rows are sorted once by their content: each content is one article, made from its oldest row when
-- the pass meets it, and every row is written once, with its article. The articles are drawn in the
-- order of the contents, as the rebuild drew them before. The old catalogue goes last: once every
-- row names a new article, the old ones are those no row names.
--
-- One result row per article made, with the rows linked so far, so that the caller can show how far
-- it is and stop in the middle (its transaction then rolled back).

SET TERM ^ ;

CREATE PROCEDURE PKVA_RICOSTRUISCICATALOGO
RETURNS (IRIGHE INTEGER)
AS
DECLARE VARIABLE IAFCID INTEGER;
DECLARE VARIABLE SSDESC VARCHAR(7);
DECLARE VARIABLE SLDESC VARCHAR(400);
DECLARE VARIABLE SEDITORE VARCHAR(100);
DECLARE VARIABLE SAUTORE VARCHAR(100);
DECLARE VARIABLE STITOLO VARCHAR(100);
DECLARE VARIABLE ICFMID INTEGER;
DECLARE VARIABLE ICAFID INTEGER;
DECLARE VARIABLE IDCMID INTEGER;
DECLARE VARIABLE IMERID INTEGER;
DECLARE VARIABLE IUNMID INTEGER;
DECLARE VARIABLE IALVID INTEGER;
DECLARE VARIABLE PSDESC VARCHAR(7);
DECLARE VARIABLE PLDESC VARCHAR(400);
DECLARE VARIABLE PEDITORE VARCHAR(100);
DECLARE VARIABLE PAUTORE VARCHAR(100);
DECLARE VARIABLE PTITOLO VARCHAR(100);
DECLARE VARIABLE IFARID INTEGER;
BEGIN
  IRIGHE = 0;
  IFARID = NULL;
  -- The contents in the order the catalogue's distinct contents had (code, publisher, author, title,
  -- description), each content's rows oldest first.
  FOR SELECT afc.IAFCID, afc.SAFCSDESC, afc.SAFCLDESC, COALESCE(afc.SAFCLIBEDITORE, ''),
             COALESCE(afc.SAFCLIBAUTORE, ''), COALESCE(afc.SAFCLIBTITOLO, ''), afc.ICFMID, afc.ICAFID,
             afc.IDCMID, afc.IMERID, afc.IUNMID, afc.IALVID
        FROM TAFC_ARTVELIST afc
       ORDER BY 2, 4, 5, 6, 3, 1
        INTO :IAFCID, :SSDESC, :SLDESC, :SEDITORE, :SAUTORE, :STITOLO, :ICFMID, :ICAFID, :IDCMID, :IMERID,
             :IUNMID, :IALVID
  DO
  BEGIN
    IF (IFARID IS NULL OR SSDESC IS DISTINCT FROM PSDESC OR SLDESC IS DISTINCT FROM PLDESC
        OR SEDITORE IS DISTINCT FROM PEDITORE OR SAUTORE IS DISTINCT FROM PAUTORE
        OR STITOLO IS DISTINCT FROM PTITOLO) THEN
    BEGIN
      IF (IFARID IS NOT NULL) THEN
        SUSPEND;
      -- A key still held by an article of the old catalogue (one stored with a key of its own) is
      -- passed over.
      SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0) INTO :IFARID;
      WHILE (EXISTS (SELECT 1 FROM TFAR_FACARTICOLI WHERE IFARID = :IFARID)) DO
        SELECT L_ICNTID FROM PYSETGETID('TFAR_FACARTICOLI', 0) INTO :IFARID;
      INSERT INTO TFAR_FACARTICOLI (IFARID, SFARSDESC, SFARLIBEDITORE, SFARLIBAUTORE, SFARLIBTITOLO, SFARLDESC,
                                    ICFMID, ICAFID, IDCMID, IMERID, IUNMID, IALVID)
      VALUES (:IFARID, :SSDESC, :SEDITORE, :SAUTORE, :STITOLO, :SLDESC, :ICFMID, :ICAFID, :IDCMID, :IMERID,
              :IUNMID, :IALVID);
      PSDESC = SSDESC;
      PLDESC = SLDESC;
      PEDITORE = SEDITORE;
      PAUTORE = SAUTORE;
      PTITOLO = STITOLO;
    END
    UPDATE TAFC_ARTVELIST SET IFARID = :IFARID WHERE IAFCID = :IAFCID;
    IRIGHE = IRIGHE + 1;
  END
  DELETE FROM TFAR_FACARTICOLI far
   WHERE NOT EXISTS (SELECT 1 FROM TAFC_ARTVELIST afc WHERE afc.IFARID = far.IFARID);
  IF (IFARID IS NOT NULL) THEN
    SUSPEND;
END^

-- Every unloading row of every article priced again, as PKVA_RIPREZZATUTTI does, with one result row
-- per article looked at and the rows of the articles looked at so far.
CREATE PROCEDURE PKVA_RIPREZZAARTICOLI
RETURNS (IRIGHE INTEGER)
AS
DECLARE VARIABLE IFARID INTEGER;
DECLARE VARIABLE ICONTA INTEGER;
DECLARE VARIABLE ISCARICHI INTEGER;
BEGIN
  IRIGHE = 0;
  FOR SELECT afc.IFARID, COUNT(*), SUM(IIF(buo.IFBUOTIPO = 1, 1, 0))
        FROM TAFC_ARTVELIST afc
        INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
       WHERE afc.IFARID IS NOT NULL
       GROUP BY afc.IFARID
        INTO :IFARID, :ICONTA, :ISCARICHI
  DO
  BEGIN
    IF (ISCARICHI > 0) THEN
      EXECUTE PROCEDURE PKVA_RIPREZZAARTICOLO(:IFARID);
    IRIGHE = IRIGHE + ICONTA;
    SUSPEND;
  END
END^

SET TERM ; ^
