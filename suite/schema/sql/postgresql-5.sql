-- Version 5: the catalogue's version is raised once a transaction, not once a changed row.
CREATE OR REPLACE FUNCTION Nota_Cambio_Centro() RETURNS trigger AS $$
DECLARE
    nueva BIGINT;
    clave VARCHAR(6);
BEGIN
    -- One version a transaction: the row is raised by its first change and locked until it ends.
    -- Raising it again for every row would leave the transaction one dead version of the row
    -- more to step over at each change, and a branch of thousands would slow down quadratically.
    nueva := NULLIF(current_setting('orbanel.version_catalogo', true), '')::BIGINT;
    IF nueva IS NULL THEN
        UPDATE Version_Catalogo SET Vc_Version = Vc_Version + 1 RETURNING Vc_Version INTO nueva;
        PERFORM set_config('orbanel.version_catalogo', nueva::text, true);
    END IF;
    IF TG_OP = 'DELETE' THEN
        clave := OLD.CC_Cve_Centro_Costo;
    ELSE
        clave := NEW.CC_Cve_Centro_Costo;
    END IF;
    INSERT INTO Cambio_Centro (Cm_Clave, Vc_Version) VALUES (clave, nueva)
        ON CONFLICT (Cm_Clave) DO UPDATE SET Vc_Version = EXCLUDED.Vc_Version;
    RETURN NULL;
END;
$$ LANGUAGE plpgsql;
