# Sources of src/app: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
)
list(APPEND QUORELLE_UI_SOURCES
)
