-- The definitions that the bulk data replacement and the article filter read from the XML archive,
-- in the list KVA, which a database made before the list existed gets here.
INSERT INTO TYXLS_XMLLISTA (IYXLSID, SYXLSCODICE, SYXLSDESC)
  SELECT (SELECT L_ICNTID FROM PYSETGETID('TYXLS_XMLLISTA', 1)), 'KVA', 'Velisto'
    FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM TYXLS_XMLLISTA WHERE SYXLSCODICE = 'KVA');

-- The data items of the articles that can be replaced on many articles at once. A new category or
-- goods code keeps the article's link between the two (TCFM) when the pair exists, and a new goods
-- code drops a detail that belonged to the old one.
INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, ILOCKED, DINSERT)
  SELECT FIRST 1 (SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), l.IYXLSID, 'KVAREPLACE',
         'Sostituzione dati degli articoli',
'<Fields>
  <Field Caption="Categoria" Type="enum"
         ValuesQuery="SELECT iCafId, sCafDesc FROM TCaf_CategorieFac ORDER BY sCafDesc"
         UpdateScript="UPDATE TFar_FacArticoli SET iCafId = :NEWVALUE, iCfmId = (SELECT cfm.iCfmId FROM TCfm_CategFacMerce cfm WHERE cfm.iMerId = TFar_FacArticoli.iMerId AND cfm.iCafId = :NEWVALUE) WHERE iFarId = :SELECTEDID AND (:ANY = 1 OR iCafId = :OLDVALUE)"/>
  <Field Caption="Aliquota IVA" Type="enum"
         ValuesQuery="SELECT iAlvId, sAlvDescL FROM TAlv_AliquoteIva ORDER BY fAlvIva"
         UpdateScript="UPDATE TFar_FacArticoli SET iAlvId = :NEWVALUE WHERE iFarId = :SELECTEDID AND (:ANY = 1 OR iAlvId = :OLDVALUE)"/>
  <Field Caption="Codice merceologico" Type="cxenum"
         ValuesQuery="SELECT iMerId, sMerCodice, sMerDesc FROM TMer_CodiciMerceol ORDER BY sMerCodice"
         KeyFieldNames="iMerId" ListFieldNames="sMerCodice;sMerDesc"
         UpdateScript="UPDATE TFar_FacArticoli SET iDcmId = CASE WHEN iMerId = :NEWVALUE THEN iDcmId END, iMerId = :NEWVALUE, iCfmId = (SELECT cfm.iCfmId FROM TCfm_CategFacMerce cfm WHERE cfm.iMerId = :NEWVALUE AND cfm.iCafId = TFar_FacArticoli.iCafId) WHERE iFarId = :SELECTEDID AND (:ANY = 1 OR iMerId = :OLDVALUE)">
    <ListColumns>
      <ListColumn FieldName="sMerCodice" Caption="Codice" MinWidth="80"/>
      <ListColumn FieldName="sMerDesc" Caption="Descrizione" MinWidth="250"/>
    </ListColumns>
  </Field>
</Fields>', 1, CURRENT_TIMESTAMP
    FROM TYXLS_XMLLISTA l
   WHERE l.SYXLSCODICE = 'KVA'
     AND NOT EXISTS (SELECT 1 FROM TYXAR_XMLARCHIVIO x WHERE x.IYXLSID = l.IYXLSID AND x.SYXARCODICE = 'KVAREPLACE')
   ORDER BY l.IYXLSID;

-- The article fields the article picker's filter offers.
INSERT INTO TYXAR_XMLARCHIVIO (IYXARID, IYXLSID, SYXARCODICE, SYXARDESC, BYXARXMLFILE, ILOCKED, DINSERT)
  SELECT FIRST 1 (SELECT L_ICNTID FROM PYSETGETID('TYXAR_XMLARCHIVIO', 1)), l.IYXLSID, 'KVA_ARTFL',
         'Filtro degli articoli',
'<Filter>
  <Field Caption="Codice" Column="far.sFarSDesc" Type="string"/>
  <Field Caption="Descrizione" Column="far.sFarLDesc" Type="string"/>
  <Field Caption="Categoria" Column="far.iCafId" Type="enum"
         ValuesQuery="SELECT iCafId, sCafDesc FROM TCaf_CategorieFac ORDER BY sCafDesc"/>
  <Field Caption="Aliquota IVA" Column="far.iAlvId" Type="enum"
         ValuesQuery="SELECT iAlvId, sAlvDescL FROM TAlv_AliquoteIva ORDER BY fAlvIva"/>
</Filter>', 1, CURRENT_TIMESTAMP
    FROM TYXLS_XMLLISTA l
   WHERE l.SYXLSCODICE = 'KVA'
     AND NOT EXISTS (SELECT 1 FROM TYXAR_XMLARCHIVIO x WHERE x.IYXLSID = l.IYXLSID AND x.SYXARCODICE = 'KVA_ARTFL')
   ORDER BY l.IYXLSID;
