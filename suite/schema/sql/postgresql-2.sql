-- Version 2: every table that refers to a centre declares it. The query lists the rows that
-- the new references refuse, as Tabla, Clave and Motivo: any row stops the upgrade.
SELECT 'Poliza_Detalle' AS Tabla, CAST(Pd_Id AS VARCHAR(20)) AS Clave,
       'el centro ' || Cc_Cve_Centro_costo || ' no existe' AS Motivo
FROM Poliza_Detalle p
WHERE Cc_Cve_Centro_costo IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM Centro_Costo c WHERE c.CC_Cve_Centro_Costo = p.Cc_Cve_Centro_costo)
UNION ALL
SELECT 'Presupuesto_Centro', CAST(Pc_Anio AS VARCHAR(20)), 'el centro ' || Cc_Cve_Centro_costo || ' no existe'
FROM Presupuesto_Centro p
WHERE NOT EXISTS (SELECT 1 FROM Centro_Costo c WHERE c.CC_Cve_Centro_Costo = p.Cc_Cve_Centro_costo)
ORDER BY 1, 2;

ALTER TABLE Poliza_Detalle ADD CONSTRAINT FK_Poliza_Detalle_Centro
    FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo);
ALTER TABLE Presupuesto_Centro ADD CONSTRAINT FK_Presupuesto_Centro_Centro
    FOREIGN KEY (Cc_Cve_Centro_costo) REFERENCES Centro_Costo (CC_Cve_Centro_Costo);

-- The schema's versions this database has reached; the highest is the one it has.
CREATE TABLE Version_Esquema (
    Ve_Version INTEGER NOT NULL PRIMARY KEY
);
