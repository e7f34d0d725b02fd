# The interface in other languages. translations/quorlin_<lang>.ts hold the
# translated texts; `make translations` (the target quorlin_lupdate) brings them
# up to date with the texts in the sources, and every build compiles them and
# embeds them in the core library under :/i18n, where main() looks for the
# user's language. Included from src/CMakeLists.txt once its targets exist.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

file(GLOB quorlin_ts_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/*.ts)

# No line numbers in the .ts files, so an edit elsewhere in a source changes
# nothing there; texts gone from the sources leave the files too. Only our own
# headers are read: lupdate needs them to tell a tr() call's class.
qt_add_lupdate(quorlin
    TS_FILES ${quorlin_ts_files}
    SOURCES ${core_sources} ${core_qml} shell/main.cpp
    INCLUDE_DIRECTORIES ${subsystems}
    OPTIONS -locations none -no-obsolete -silent
)
qt_add_lrelease(quorlin_core
    TS_FILES ${quorlin_ts_files}
    QM_FILES_OUTPUT_VARIABLE quorlin_qm_files
    OPTIONS -silent
)
qt_add_resources(quorlin_core quorlin_translations
    PREFIX /i18n
    BASE ${CMAKE_CURRENT_BINARY_DIR}
    FILES ${quorlin_qm_files}
)
