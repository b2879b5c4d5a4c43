-- The general types of commissions and minutes (keys below 1000000, read-only), and the
-- qualifications of persons and their roles in a commission. The testing minutes' type, already
-- there, is a general type of its own.

INSERT INTO TTPCM_TIPOCOMM (ITPCMID, STPCMCODICE, STPCMDESC, ILOCKED) VALUES (1, 'COLL', 'Commissione di collaudo', 1);
INSERT INTO TTPCM_TIPOCOMM (ITPCMID, STPCMCODICE, STPCMDESC, ILOCKED) VALUES (2, 'DISC', 'Commissione di discarico', 1);

UPDATE TTVR_TIPOVER SET ILOCKED = 1 WHERE ITVRID = 1;

INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (1, 'Dirigente scolastico');
INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (2, 'Direttore dei servizi generali e amministrativi');
INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (3, 'Docente');
INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (4, 'Assistente amministrativo');
INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (5, 'Assistente tecnico');
INSERT INTO TQUAP_QUALPERS (IQUAPID, SQUAPLDESC) VALUES (6, 'Esperto esterno');

INSERT INTO TRCO_RUOLOCOMP (IRCOID, SRCOLDESC) VALUES (1, 'Presidente');
INSERT INTO TRCO_RUOLOCOMP (IRCOID, SRCOLDESC) VALUES (2, 'Componente');
INSERT INTO TRCO_RUOLOCOMP (IRCOID, SRCOLDESC) VALUES (3, 'Segretario verbalizzante');
