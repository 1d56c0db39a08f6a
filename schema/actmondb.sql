-- actmondb.sqlite: one row per logged scan interval, plus copies of the two watched lists
-- (kept equal to settings.sqlite) that the usage queries join.
CREATE TABLE applications (
    date_created TEXT,
    app_name TEXT,
    browser_url TEXT,
    app_type TEXT,
    duration INTEGER,
    origin INTEGER
);
-- Usage totals are read for a time window and the retention purge deletes by age:
-- both walk date_created ranges.
CREATE INDEX applications_by_date ON applications(date_created);
-- The purge of programs no longer listed looks at application rows by name.
CREATE INDEX applications_by_origin_name ON applications(origin, app_name);
CREATE TABLE applications_list (
    name TEXT,
    caption TEXT,
    active INTEGER
);
CREATE TABLE websites_list (
    name TEXT,
    caption TEXT,
    active INTEGER
);
