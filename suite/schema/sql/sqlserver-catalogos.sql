-- The catalogue tables of the database in every schema, whether this user may read each and
-- finds it by its bare name (its default schema, then dbo), and whether the schema's version
-- table stands beside it.
SELECT s.name AS Esquema,
       HAS_PERMS_BY_NAME(QUOTENAME(s.name) + '.' + QUOTENAME(t.name), 'OBJECT', 'SELECT') AS Legible,
       CASE WHEN s.name IN (SCHEMA_NAME(), 'dbo') THEN 1 ELSE 0 END AS Visible,
       CASE WHEN EXISTS (SELECT 1 FROM sys.tables v WHERE v.schema_id = t.schema_id AND v.name = 'Version_Esquema')
           THEN 1 ELSE 0 END AS ConVersion
FROM sys.tables t
JOIN sys.schemas s ON s.schema_id = t.schema_id
WHERE t.name = 'Centro_Costo'
ORDER BY s.name;
