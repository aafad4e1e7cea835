-- Version 4: the catalogue's version and the notes of what changed.
-- The catalogue's version: every change of a centre raises it and notes the centre's key with
-- the version that changed it last, whoever writes the table. An open catalogue reads the one
-- row to learn whether anything changed, then only the centres noted since.
CREATE TABLE Version_Catalogo (
    Vc_Version INTEGER NOT NULL
);
INSERT INTO Version_Catalogo (Vc_Version) VALUES (0);

CREATE TABLE Cambio_Centro (
    Cm_Clave VARCHAR(6) NOT NULL PRIMARY KEY,
    Vc_Version INTEGER NOT NULL
);
CREATE INDEX IX_Cambio_Centro_Version ON Cambio_Centro (Vc_Version);

CREATE TRIGGER TR_Centro_Costo_Alta AFTER INSERT ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT NEW.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;

CREATE TRIGGER TR_Centro_Costo_Cambio AFTER UPDATE ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT NEW.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;

CREATE TRIGGER TR_Centro_Costo_Baja AFTER DELETE ON Centro_Costo BEGIN
    UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version)
        SELECT OLD.CC_Cve_Centro_Costo, Vc_Version FROM Version_Catalogo WHERE 1
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = excluded.Vc_Version;
END;
