// Builds an empty template database from a schema file: make_template_db schema.sql out.sqlite
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s schema.sql out.sqlite\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << in.rdbuf();

    // Build beside the target and rename, so an interrupted build never leaves half a file.
    std::string partial = std::string(argv[2]) + ".part";
    std::filesystem::remove(partial);
    sqlite3* db = nullptr;
    if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s: %s\n", partial.c_str(),
                     db ? sqlite3_errmsg(db) : "?");
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    if (sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error ? error : "?");
        sqlite3_free(error);
        sqlite3_close(db);
        return 1;
    }
    sqlite3_close(db);
    std::filesystem::rename(partial, argv[2]);
    return 0;
}
