-- The one-time rebuild of the article catalogue from the descriptions that voucher rows carried
-- before the catalogue existed: its marker row, and the indexes through which the rebuild matches
-- rows and articles by their descriptions.
--
-- The marker's text is NULL while the rebuild is to be done, '0' while a program runs it, '1' once
-- it is done. A database made by these scripts has had its catalogue from the start: its marker says
-- done. A database of the suite that was given the marker keeps it as it is.
INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, ILOCKED, DINSERT)
  SELECT 26001, 'KVA_SINCRARTICOLI', 'Sincronizzazione dati degli articoli', '1', 1, CURRENT_TIMESTAMP
    FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM TYXAR_XMLARCHIVIO WHERE IYXARID = 26001);

-- Rows are linked to the article of their description, and each article takes the attributes of
-- its oldest row.
CREATE INDEX IX_FAR_LDESC ON TFAR_FACARTICOLI (SFARLDESC);
CREATE INDEX IX_AFC_LDESC ON TAFC_ARTVELIST (SAFCLDESC);

-- The archive's keys start past the marker's.
SET TERM ^ ;

EXECUTE BLOCK AS
DECLARE VARIABLE N INTEGER;
BEGIN
  SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1) INTO :N;
  IF (N < 26001) THEN
    SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 26001 - :N) INTO :N;
END^

SET TERM ; ^
