-- The definition that the bulk data replacement of the durable goods reads from the XML archive, in
-- the list KVB, which a database made before the list existed gets here.
--
-- A category or register change discharges each good on the unloading voucher the replacement has
-- just made and copies it onto the loading voucher made after the updates: PYGETID names each of the
-- two in turn. The copy of a good is made only when the good was discharged on this run's unloading
-- voucher (:iBBuoIdScarico), so a good the update left alone (another value, discharged earlier or by
-- somebody else meanwhile) is not copied again. The register change hides the old value (the goods are the current register's), so its
-- statements take any. The site goes through PKVB_SOSTSEDE, which keeps the site history.
INSERT INTO TYXLS_XMLLISTA (IYXLSID, SYXLSCODICE, SYXLSDESC)
  SELECT (SELECT L_ICNTID FROM PYSETGETID('TYXLS_XMLLISTA', 1)), 'KVB', 'Velisto - Beni durevoli'
    FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVB');

INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, ILOCKED, DINSERT)
  SELECT FIRST 1 (SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), l.IYXLSID, 'KVBREPLACE',
         'Sostituzione dati dei beni',
'<Fields>
  <Field Name="iCondId"
         Caption="Condizione"
         Type="enum"
         ValuesQuery="SELECT iCondId, sCondDesc FROM TCond_Condizioni ORDER BY sCondDesc"
         UpdateScript="UPDATE TBInb_Beni SET iCondId = :NEWVALUE WHERE iBInbId = :SELECTEDID AND (:ANY = 1 OR iCondId = :OLDVALUE)"/>
  <Field Name="iCaeId"
         Caption="Codice merceologico"
         Type="cxenum"
         ValuesQuery="SELECT cae.iCaeId, cae.sMerCodice, cae.sMerDesc FROM VCae_CategMerce cae ORDER BY cae.sMerCodice, cae.iCamId"
         KeyFieldNames="iCaeId"
         ListFieldNames="sMerCodice;sMerDesc"
         UpdateScript="UPDATE TBInb_Beni SET iCaeId = :NEWVALUE WHERE iBInbId = :SELECTEDID AND (:ANY = 1 OR iCaeId = :OLDVALUE) AND (CAST(:NEWVALUE AS INTEGER) IS NULL OR iCamId = (SELECT cae.iCamId FROM TCae_CategMerce cae WHERE cae.iCaeId = :NEWVALUE))">
    <ListColumns>
      <ListColumn FieldName="sMerCodice" Caption="Codice" MinWidth="80"/>
      <ListColumn FieldName="sMerDesc" Caption="Descrizione" MinWidth="250"/>
    </ListColumns>
  </Field>
  <Field Name="iSedInfId"
         Caption="Sede"
         Type="enum"
         ValuesQuery="SELECT iSedInfId, sSedInfSDesc FROM TSedInf_SedeInfo WHERE dDelete IS NULL ORDER BY sSedInfSDesc"
         UpdateScript="EXECUTE PROCEDURE PKVB_SOSTSEDE(:SELECTEDID, :NEWVALUE, :ANY, :OLDVALUE)"/>
  <Field Name="iBInbAnnoAssunz"
         Caption="Anno di assunzione"
         Type="integer"
         UpdateScript="UPDATE TBInb_Beni SET iBInbAnnoAssunz = :NEWVALUE WHERE iBInbId = :SELECTEDID AND (:ANY = 1 OR iBInbAnnoAssunz = :OLDVALUE)"/>
  <Field Name="sBInbNote"
         Caption="Note"
         Type="string"
         UpdateScript="UPDATE TBInb_Beni SET sBInbNote = :NEWVALUE WHERE iBInbId = :SELECTEDID AND (:ANY = 1 OR sBInbNote = :OLDVALUE)"/>
  <Field Name="iCamId"
         Caption="Categoria"
         Type="enum"
         ValuesQuery="SELECT iCamId, sCamCodice || '' - '' || sCamDesc FROM TCam_CategorieInv ORDER BY iCamId"
         UpdateScript="UPDATE TBInb_Beni SET iBBuoIdScarico = (SELECT iCntId FROM PYGetId(''TBBUO_BUONI'')), iAvaId = 3 WHERE iBInbId = :SELECTEDID AND iBBuoIdScarico IS NULL AND iCamId IS DISTINCT FROM :NEWVALUE AND (:ANY = 1 OR iCamId = :OLDVALUE)"
         InsertScript="INSERT INTO TBInb_Beni (iBInbId, iBInbNumero, sBInbCodNumero, sBInbDesc, sBInbNote, sBInbMatricola, iBBuoId, iBInbImporto, iCamId, iCaeId, iCavId, iCondId, iAvaId, iSecId, sBInbLibTitolo, sBInbLibAutore, sBInbLibEditore, iVproId, iSedInfId, iClcId, iBInbAnnoAssunz) SELECT (SELECT L_ICNTID FROM PYSETGETID(''TBINB_BENI'', 1)), inb.iBInbNumero, inb.sBInbCodNumero, inb.sBInbDesc, inb.sBInbNote, inb.sBInbMatricola, (SELECT iCntId FROM PYGetId(''TBBUO_BUONI'')), inb.iBInbImporto, :NEWVALUE, (SELECT n.iCaeId FROM TCae_CategMerce o INNER JOIN TCae_CategMerce n ON (n.iMerId = o.iMerId) WHERE o.iCaeId = inb.iCaeId AND n.iCamId = :NEWVALUE), inb.iCavId, inb.iCondId, 1, inb.iSecId, inb.sBInbLibTitolo, inb.sBInbLibAutore, inb.sBInbLibEditore, inb.iVproId, inb.iSedInfId, inb.iClcId, inb.iBInbAnnoAssunz FROM TBInb_Beni inb WHERE inb.iBInbId = :SELECTEDID AND inb.iBBuoIdScarico = :iBBuoIdScarico AND (:ANY = 1 OR inb.iCamId = :OLDVALUE)"
         InsertScarico="1"
         InsertCarico="1"/>
  <Field Name="iFacId"
         Caption="Velisto"
         Type="enum"
         ValuesQuery="SELECT iFacId, sFacDesc FROM TFac_Velisto WHERE iTfcId IN (5, 7) ORDER BY sFacDesc"
         UpdateScript="UPDATE TBInb_Beni SET iBBuoIdScarico = (SELECT iCntId FROM PYGetId(''TBBUO_BUONI'')), iAvaId = 3 WHERE iBInbId = :SELECTEDID AND iBBuoIdScarico IS NULL AND (:ANY = 1 OR CAST(:OLDVALUE AS INTEGER) IS NULL) AND NOT EXISTS (SELECT 1 FROM TBBuo_Buoni buo INNER JOIN TDwgFacAnf dfa ON (dfa.iDwgFacAnfId = buo.iDwgFacAnfId) INNER JOIN TDwgFac df ON (df.iDwgFacId = dfa.iDwgFacId) WHERE buo.iBBuoId = TBInb_Beni.iBBuoId AND df.iFacId = :NEWVALUE)"
         InsertScript="INSERT INTO TBInb_Beni (iBInbId, iBInbNumero, sBInbCodNumero, sBInbDesc, sBInbNote, sBInbMatricola, iBBuoId, iBInbImporto, iCamId, iCaeId, iCavId, iCondId, iAvaId, iSecId, sBInbLibTitolo, sBInbLibAutore, sBInbLibEditore, iVproId, iSedInfId, iClcId, iBInbAnnoAssunz) SELECT (SELECT L_ICNTID FROM PYSETGETID(''TBINB_BENI'', 1)), :iBInbNumero, NULL, inb.sBInbDesc, inb.sBInbNote, inb.sBInbMatricola, (SELECT iCntId FROM PYGetId(''TBBUO_BUONI'')), inb.iBInbImporto, inb.iCamId, inb.iCaeId, inb.iCavId, inb.iCondId, 1, inb.iSecId, inb.sBInbLibTitolo, inb.sBInbLibAutore, inb.sBInbLibEditore, inb.iVproId, inb.iSedInfId, inb.iClcId, inb.iBInbAnnoAssunz FROM TBInb_Beni inb WHERE inb.iBInbId = :SELECTEDID AND inb.iBBuoIdScarico = :iBBuoIdScarico AND (:ANY = 1 OR CAST(:OLDVALUE AS INTEGER) IS NULL) AND CAST(:NEWVALUE AS INTEGER) IS NOT NULL"
         InsertScarico="1"
         InsertCarico="1"/>
</Fields>', 1, CURRENT_TIMESTAMP
    FROM TYXLS_XMLLISTA l
   WHERE l.SYXLSCODICE = 'KVB'
     AND NOT EXISTS (SELECT 1 FROM TYXAR_XMLARCHIVIO x WHERE x.IYXLSID = l.IYXLSID AND x.SYXARCODICE = 'KVBREPLACE')
   ORDER BY l.IYXLSID;
