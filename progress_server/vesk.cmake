# The identities of type library Vesk, read from its XML so that the server and the client are
# built from the one file. Sets VESK_XML, VESK_INTERFACE, VESK_TYPELIB_GUID, VESK_INTERFACE_GUID,
# VESK_CLASS_GUID, PELLORIN_BUS_NAME, PELLORIN_OBJECT_PATH and VESK_DEFINITIONS.
set(VESK_XML ${CMAKE_CURRENT_LIST_DIR}/Vesk.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VESK_XML})
file(READ ${VESK_XML} _vesk)
string(REGEX MATCH "<interface name=\"([^\"]+)\"" _m "${_vesk}")
set(VESK_INTERFACE ${CMAKE_MATCH_1})
foreach(_item TypeLibrary Interface Class)
  string(REGEX MATCH "name=\"org\\.velmora\\.Vesk\\.${_item}\" value=\"([^\"]+)\"" _m "${_vesk}")
  if(NOT CMAKE_MATCH_1)
    message(FATAL_ERROR "Vesk.xml lacks the ${_item} identity")
  endif()
  string(TOUPPER ${_item} _up)
  set(VESK_${_up}_GUID ${CMAKE_MATCH_1})
endforeach()
set(PELLORIN_BUS_NAME org.velmora.Pellorin)
set(PELLORIN_OBJECT_PATH /Class1)
# The status with which pellorin ends when it cannot reach a display, so the client can tell.
set(PELLORIN_NO_DISPLAY_STATUS 3)
set(VESK_DEFINITIONS
  VESK_INTERFACE="${VESK_INTERFACE}"
  VESK_TYPELIBRARY_GUID="${VESK_TYPELIBRARY_GUID}"
  VESK_INTERFACE_GUID="${VESK_INTERFACE_GUID}"
  VESK_CLASS_GUID="${VESK_CLASS_GUID}"
  PELLORIN_BUS_NAME="${PELLORIN_BUS_NAME}"
  PELLORIN_OBJECT_PATH="${PELLORIN_OBJECT_PATH}"
  PELLORIN_NO_DISPLAY_STATUS=${PELLORIN_NO_DISPLAY_STATUS}
)
