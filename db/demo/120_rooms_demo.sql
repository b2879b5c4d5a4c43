-- The demo building and rooms described at length, as the list of the delivery sectors prints them.
UPDATE TEDF_EDIFICIO SET SEDFDESCL = 'Edificio principale di via Roma' WHERE SEDFCODICE = 'E1';
UPDATE TSTZ_STANZA SET SSTZLDESC = 'Ufficio di segreteria al piano terra' WHERE ISTZNUM = 1;
UPDATE TSTZ_STANZA SET SSTZLDESC = 'Laboratorio di scienze al primo piano' WHERE ISTZNUM = 12;
