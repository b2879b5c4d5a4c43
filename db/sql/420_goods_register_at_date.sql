-- Which goods make up a durable-goods register at a date, decided here once for every report and for
-- the closing: a good counts when a voucher of the register dated on or before the date loaded it, it
-- is in the register's numbering, and no unloading voucher dated on or before the date discharged it.
-- A discharge counts from its voucher's date whether that voucher is provisional or definitive (goods
-- states 3 and 4 alike), since the closing at that date makes the voucher definitive; a loading counts
-- likewise (states 1 and 2). DDATA NULL: every voucher, the register as it stands.
SET TERM ^ ;

CREATE OR ALTER PROCEDURE PKVB_BENIREGISTRO (IFACID INTEGER, DDATA DATE)
RETURNS (IBINBID INTEGER, ICAMID INTEGER, ISECID INTEGER, IBINBIMPORTO BIGINT)
AS
BEGIN
  FOR SELECT inb.IBINBID, inb.ICAMID, inb.ISECID, inb.IBINBIMPORTO
        FROM TDWGFAC df
        INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACID = df.IDWGFACID
        INNER JOIN TBBUO_BUONI buo ON buo.IDWGFACANFID = dfa.IDWGFACANFID
        INNER JOIN TBINB_BENI inb ON inb.IBBUOID = buo.IBBUOID
        LEFT JOIN TBBUO_BUONI sca ON sca.IBBUOID = inb.IBBUOIDSCARICO
       WHERE df.IFACID = :IFACID
         AND inb.IBINBFUORIREGISTRO = 0
         AND (:DDATA IS NULL OR buo.DBBUODATA <= :DDATA)
         AND (sca.IBBUOID IS NULL OR (:DDATA IS NOT NULL AND sca.DBBUODATA > :DDATA))
        INTO :IBINBID, :ICAMID, :ISECID, :IBINBIMPORTO
  DO
    SUSPEND;
END^

-- A register's value per inventory category (1 to 8) and in all, one row.
-- IMODE 1: the goods of the register at the date DDATA (NULL: as it stands), by PKVB_BENIREGISTRO.
-- IMODE 2: as recorded by a closing: the one asked for (ICHAIDCHIESTA), else the register's last one
-- before DDATA (NULL: the last one); a category it did not record counts 0, and without a closing
-- the row holds no closing and zeros.
CREATE OR ALTER PROCEDURE PKVB_GETCHIUSURA (ICHAIDCHIESTA INTEGER, DDATA DATE, IMODE INTEGER, IFACID INTEGER)
RETURNS (ICHAID INTEGER, DCHADATACHIUSURA DATE, IMP1 BIGINT, IMP2 BIGINT, IMP3 BIGINT, IMP4 BIGINT,
         IMP5 BIGINT, IMP6 BIGINT, IMP7 BIGINT, IMP8 BIGINT, TOTALE BIGINT)
AS
BEGIN
  ICHAID = ICHAIDCHIESTA;
  DCHADATACHIUSURA = DDATA;
  IF (IMODE = 2) THEN
  BEGIN
    IF (ICHAID IS NULL) THEN
      SELECT FIRST 1 ICHAID FROM TCHA_CHIUSURAANNO
       WHERE IFACID = :IFACID AND (:DDATA IS NULL OR DCHADATACHIUSURA < :DDATA)
       ORDER BY DCHADATACHIUSURA DESC, ICHAID DESC
        INTO :ICHAID;
    DCHADATACHIUSURA = NULL;
    SELECT ICHAID, DCHADATACHIUSURA FROM TCHA_CHIUSURAANNO WHERE ICHAID = :ICHAID
      INTO :ICHAID, :DCHADATACHIUSURA;
    IF (ROW_COUNT = 0) THEN
      ICHAID = NULL;
  END
  -- Out of mode 1 the register is not read: no register has an empty key.
  SELECT COALESCE(SUM(IIF(mov.ICAMID = 1, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 2, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 3, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 4, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 5, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 6, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 7, mov.IIMPORTO, 0)), 0),
         COALESCE(SUM(IIF(mov.ICAMID = 8, mov.IIMPORTO, 0)), 0)
    FROM (SELECT reg.ICAMID, reg.IBINBIMPORTO AS IIMPORTO
            FROM PKVB_BENIREGISTRO(IIF(:IMODE = 1, :IFACID, NULL), :DDATA) reg
          UNION ALL
          SELECT cc.ICAMID, cc.ICHACAMIMPORTO
            FROM TCHACAM cc
           WHERE :IMODE = 2 AND cc.ICHAID = :ICHAID) mov
    INTO :IMP1, :IMP2, :IMP3, :IMP4, :IMP5, :IMP6, :IMP7, :IMP8;
  TOTALE = IMP1 + IMP2 + IMP3 + IMP4 + IMP5 + IMP6 + IMP7 + IMP8;
  SUSPEND;
END^

SET TERM ; ^
