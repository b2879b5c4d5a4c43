-- The stock of every article in each delivery sector, for the report of articles by sector: what the
-- sector's rows loaded less what they unloaded, in loading measures, up to the date (compared by day)
-- in the scope of the register-year as PKVA_GETGIACENZE reads it. Rows without a sector make a line
-- of their own (ISECID NULL), so that the lines of an article add up to its stock over all sectors.
-- A sector that unloaded more than it was loaded (goods loaded for one office and handed out by
-- another) has a negative stock: it is printed as it is and valued, like every sector, at the
-- article's average cost over all sectors, so that the sectors' values add up to the article's.
SET TERM ^ ;

CREATE OR ALTER PROCEDURE PKVA_GIACENZESETTORI (DDATA TIMESTAMP, IDWGFACANFID INTEGER)
RETURNS (IFARID INTEGER, ISECID INTEGER, GIACENZA DOUBLE PRECISION)
AS
DECLARE VARIABLE INUMERAZ INTEGER;
DECLARE VARIABLE IDWGFACID INTEGER;
DECLARE VARIABLE DGIORNO DATE;
DECLARE VARIABLE FCARICATO DOUBLE PRECISION;
DECLARE VARIABLE FSCARICATO DOUBLE PRECISION;
BEGIN
  DGIORNO = CAST(DDATA AS DATE);
  SELECT fac.IFACNUMERAZ, dfa.IDWGFACID
    FROM TDWGFACANF dfa
    INNER JOIN TDWGFAC df ON df.IDWGFACID = dfa.IDWGFACID
    INNER JOIN TFAC_VELISTO fac ON fac.IFACID = df.IFACID
   WHERE dfa.IDWGFACANFID = :IDWGFACANFID
    INTO :INUMERAZ, :IDWGFACID;

  FOR SELECT afc.IFARID, afc.ISECID,
             SUM(IIF(buo.IFBUOTIPO = 0, afc.FAFCQUANTITA, 0)),
             SUM(IIF(buo.IFBUOTIPO = 1, afc.FAFCQUANTITA, 0))
        FROM TAFC_ARTVELIST afc
        INNER JOIN TFBUO_BUONI buo ON buo.IFBUOID = afc.IFBUOID
       WHERE buo.DFBUODATA <= :DGIORNO
         AND ((:INUMERAZ = 1 AND buo.IDWGFACANFID = :IDWGFACANFID)
              OR (:INUMERAZ IS DISTINCT FROM 1
                  AND EXISTS (SELECT 1 FROM TDWGFACANF dfa
                               WHERE dfa.IDWGFACANFID = buo.IDWGFACANFID AND dfa.IDWGFACID = :IDWGFACID)))
         AND afc.IFARID IS NOT NULL
       GROUP BY afc.IFARID, afc.ISECID
        INTO :IFARID, :ISECID, :FCARICATO, :FSCARICATO
  DO
  BEGIN
    GIACENZA = ROUND(COALESCE(FCARICATO, 0) - COALESCE(FSCARICATO, 0) / FKVA_FATTOREUNITA(:IFARID), 6);
    SUSPEND;
  END
END^

SET TERM ; ^
