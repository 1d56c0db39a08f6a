-- actmondb.sqlite: one row per logged scan interval, plus copies of the two watched lists
-- (kept equal to settings.sqlite) that the usage queries join, and of the settings, from
-- which a lost or damaged settings.sqlite is restored. An older file gets the settings'
-- table with the next save.
CREATE TABLE applications (
    date_created TEXT,
    app_name TEXT,
    browser_url TEXT,
    app_type TEXT,
    duration INTEGER,
    origin INTEGER
);
-- The usage totals group logged time per address and per executable inside a time
-- window, and the retention purge deletes by age and by executable. Each index covers
-- every column its query reads, so the table itself is not visited:
-- a short window is an index range on the time ...
CREATE INDEX applications_by_date ON applications(date_created, browser_url, duration);
CREATE INDEX applications_by_origin_date ON applications(origin, date_created, app_name, duration);
-- ... a long one is read in the order of the grouped column, so grouping needs no sort.
CREATE INDEX applications_by_url ON applications(browser_url, date_created, duration);
CREATE INDEX applications_by_origin_name ON applications(origin, app_name, date_created, duration);
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
CREATE TABLE settings (
    name TEXT,
    value TEXT
);
