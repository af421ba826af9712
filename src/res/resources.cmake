# Icons, toolbar images and the help page, compiled into the application library.
# The images are redrawn by make-images.sh.
qt_add_resources(quorelle_app quorelle_resources
  PREFIX "/"
  BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES
    ${CMAKE_CURRENT_LIST_DIR}/images/quorelle.png
    ${CMAKE_CURRENT_LIST_DIR}/images/quotewindow.png
    ${CMAKE_CURRENT_LIST_DIR}/images/listwindow.png
    ${CMAKE_CURRENT_LIST_DIR}/images/worldwide.png
    ${CMAKE_CURRENT_LIST_DIR}/images/properties.png
    ${CMAKE_CURRENT_LIST_DIR}/images/findinlist.png
    ${CMAKE_CURRENT_LIST_DIR}/images/nyse.png
    ${CMAKE_CURRENT_LIST_DIR}/images/amex.png
    ${CMAKE_CURRENT_LIST_DIR}/images/nasdaq.png
    ${CMAKE_CURRENT_LIST_DIR}/images/tsx.png
    ${CMAKE_CURRENT_LIST_DIR}/images/cve.png
    ${CMAKE_CURRENT_LIST_DIR}/images/lse.png
    ${CMAKE_CURRENT_LIST_DIR}/images/watchlist.png
    ${CMAKE_CURRENT_LIST_DIR}/help/index.html
)
