-- The fixed codes of the durable-goods register: the four states of a good, the eight inventory
-- categories, the closing type, the two reasons for a voucher of the bulk data replacement and the
-- testing minutes' type.

INSERT INTO TAVA_STATIAVANZA (IAVAID, SAVACODICE, SAVADESC, ILOCKED) VALUES (1, 'CP', 'Caricato provvisorio', 1);
INSERT INTO TAVA_STATIAVANZA (IAVAID, SAVACODICE, SAVADESC, ILOCKED) VALUES (2, 'CD', 'Caricato definitivo', 1);
INSERT INTO TAVA_STATIAVANZA (IAVAID, SAVACODICE, SAVADESC, ILOCKED) VALUES (3, 'SP', 'Scaricato provvisorio', 1);
INSERT INTO TAVA_STATIAVANZA (IAVAID, SAVACODICE, SAVADESC, ILOCKED) VALUES (4, 'SD', 'Scaricato definitivo', 1);

INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (1, 'I', 'Mobili e arredi');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (2, 'II', 'Macchine e attrezzature d''ufficio');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (3, 'III', 'Impianti e attrezzature');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (4, 'IV', 'Hardware e apparecchiature informatiche');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (5, 'V', 'Materiale didattico e scientifico');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (6, 'VI', 'Strumenti musicali e sportivi');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (7, 'VII', 'Automezzi e altri beni mobili');
INSERT INTO TCAM_CATEGORIEINV (ICAMID, SCAMCODICE, SCAMDESC) VALUES (8, 'VIII', 'Libri e materiale bibliografico');

INSERT INTO TTCH_TIPOCHIUSURA (ITCHID, STCHSDESC, STCHLDESC, ILOCKED) VALUES (1, 'ANN', 'Chiusura di fine esercizio', 1);

INSERT INTO TITB_INVTIPOBUO (IITBID, SITBCODICE, SITBDESC) VALUES (1, 'CAT', 'Cambio di categoria');
INSERT INTO TITB_INVTIPOBUO (IITBID, SITBCODICE, SITBDESC) VALUES (2, 'REG', 'Cambio di registro');

INSERT INTO TTVR_TIPOVER (ITVRID, STVRCODICE, STVRDESC, ILOCKED) VALUES (1, 'COLL', 'Verbale di collaudo', 1);
