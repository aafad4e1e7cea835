-- The catalogue tables of the database in every schema (the system catalogue shows them to any
-- role), whether this role may read each and finds it by its bare name (its search_path), and
-- whether the schema's version table stands beside it.
SELECT n.nspname AS Esquema,
       CASE WHEN has_schema_privilege(n.oid, 'USAGE') AND has_table_privilege(c.oid, 'SELECT') THEN 1 ELSE 0 END
           AS Legible,
       CASE WHEN pg_catalog.pg_table_is_visible(c.oid) THEN 1 ELSE 0 END AS Visible,
       CASE WHEN EXISTS (SELECT 1 FROM pg_catalog.pg_class v
                         WHERE v.relnamespace = c.relnamespace AND v.relname = 'version_esquema') THEN 1 ELSE 0 END
           AS ConVersion
FROM pg_catalog.pg_class c
JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace
WHERE c.relname = 'centro_costo' AND c.relkind IN ('r', 'p')
ORDER BY n.nspname;
