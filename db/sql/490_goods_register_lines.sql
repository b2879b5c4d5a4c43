-- The lines of a durable-goods register at a date, decided here once for the register's list, its
-- value, its verification and the closing. A good loaded by a voucher of the register dated on or
-- before the date is a line while it was in charge at the date, whatever its numbering flag says now:
-- a renumbering takes only goods discharged before it out of the numbering, and they were in charge
-- until their discharge, so a register or a closing at an earlier date still counts them. A good
-- discharged on or before the date (ISCARICATO 1) stays a line of the list, with its discharge,
-- until a renumbering takes it out of the numbering; it is no longer part of the register's value.
-- A discharge counts from its voucher's date whether that voucher is provisional or definitive, since
-- the closing at that date makes it definitive. DDATA NULL: every voucher, the register as it stands.
SET TERM ^ ;

CREATE OR ALTER PROCEDURE PKVB_REGISTROBENI (IFACID INTEGER, DDATA DATE)
RETURNS (IBINBID INTEGER, ICAMID INTEGER, ISECID INTEGER, IBINBIMPORTO BIGINT, ISCARICATO SMALLINT)
AS
BEGIN
  FOR SELECT inb.IBINBID, inb.ICAMID, inb.ISECID, inb.IBINBIMPORTO,
             IIF(sca.IBBUOID IS NULL OR (:DDATA IS NOT NULL AND sca.DBBUODATA > :DDATA), 0, 1)
        FROM TDWGFAC df
        INNER JOIN TDWGFACANF dfa ON dfa.IDWGFACID = df.IDWGFACID
        INNER JOIN TBBUO_BUONI buo ON buo.IDWGFACANFID = dfa.IDWGFACANFID
        INNER JOIN TBINB_BENI inb ON inb.IBBUOID = buo.IBBUOID
        LEFT JOIN TBBUO_BUONI sca ON sca.IBBUOID = inb.IBBUOIDSCARICO
       WHERE df.IFACID = :IFACID
         AND (:DDATA IS NULL OR buo.DBBUODATA <= :DDATA)
         AND (sca.IBBUOID IS NULL OR (:DDATA IS NOT NULL AND sca.DBBUODATA > :DDATA)
              OR inb.IBINBFUORIREGISTRO = 0)
        INTO :IBINBID, :ICAMID, :ISECID, :IBINBIMPORTO, :ISCARICATO
  DO
    SUSPEND;
END^

-- The goods in charge at the date: the lines not discharged. The register's value (PKVB_GETCHIUSURA)
-- and the lists of goods in charge read them.
CREATE OR ALTER PROCEDURE PKVB_BENIREGISTRO (IFACID INTEGER, DDATA DATE)
RETURNS (IBINBID INTEGER, ICAMID INTEGER, ISECID INTEGER, IBINBIMPORTO BIGINT)
AS
BEGIN
  FOR SELECT reg.IBINBID, reg.ICAMID, reg.ISECID, reg.IBINBIMPORTO
        FROM PKVB_REGISTROBENI(:IFACID, :DDATA) reg
       WHERE reg.ISCARICATO = 0
        INTO :IBINBID, :ICAMID, :ISECID, :IBINBIMPORTO
  DO
    SUSPEND;
END^

SET TERM ; ^
