-- The codes that the programs name by their keys, present in every database: the loading causal 1
-- and the unloading causal 14 ("Impiego dotazione") that generated and imported voucher rows take,
-- and the condition 2 they are given. A database that already holds rows with these keys keeps
-- them; a code already taken by another causal leaves the new one without a code rather than
-- stopping the upgrade on the unique code. The key counters of both tables are moved past these
-- keys, so that the registries never draw them again.

INSERT INTO TCAV_CAUSALIINV (ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO)
  SELECT 1, IIF(EXISTS (SELECT 1 FROM TCAV_CAUSALIINV WHERE SCAVCODICE = 'ACQ'), NULL, 'ACQ'),
         'Acquisto', 0
    FROM RDB$DATABASE
   WHERE NOT EXISTS (SELECT 1 FROM TCAV_CAUSALIINV WHERE ICAVID = 1);

INSERT INTO TCAV_CAUSALIINV (ICAVID, SCAVCODICE, SCAVDESC, ICAVTIPO)
  SELECT 14, IIF(EXISTS (SELECT 1 FROM TCAV_CAUSALIINV WHERE SCAVCODICE = 'IMP'), NULL, 'IMP'),
         'Impiego dotazione', 1
    FROM RDB$DATABASE
   WHERE NOT EXISTS (SELECT 1 FROM TCAV_CAUSALIINV WHERE ICAVID = 14);

INSERT INTO TCOND_CONDIZIONI (ICONDID, SCONDCODICE, SCONDDESC)
  SELECT 2, 'N', 'Nuovo'
    FROM RDB$DATABASE
   WHERE NOT EXISTS (SELECT 1 FROM TCOND_CONDIZIONI WHERE ICONDID = 2);

SET TERM ^ ;

EXECUTE BLOCK AS
DECLARE VARIABLE N INTEGER;
BEGIN
  SELECT L_ICNTID FROM PYSETGETID('TCAV_CAUSALIINV', 1) INTO :N;
  IF (N < 14) THEN
    SELECT L_ICNTID FROM PYSETGETID('TCAV_CAUSALIINV', 14 - :N) INTO :N;
  SELECT L_ICNTID FROM PYSETGETID('TCOND_CONDIZIONI', 1) INTO :N;
  IF (N < 2) THEN
    SELECT L_ICNTID FROM PYSETGETID('TCOND_CONDIZIONI', 2 - :N) INTO :N;
END^

SET TERM ; ^
