# Runs at install time, when the final prefix is known (`cmake --install --prefix P` changes it
# after configuration), and writes the files that name installed programs by absolute path: the
# desktop entries and the progress server's activation file. The caller sets VELMORA_DATA_DIR,
# VELMORA_STAGING_DIR, VELMORA_WITH_MAIN and PELLORIN_BUS_NAME. DESTDIR is added by
# file(INSTALL) only, so the paths written inside the files never carry it.

set(_prefix "${CMAKE_INSTALL_PREFIX}")

# Desktop entries and D-Bus both split Exec= like a shell; quote a path that needs it.
function(_velmora_exec_word path out)
  if(path MATCHES "^[A-Za-z0-9/._+=:,-]+$")
    set(${out} "${path}" PARENT_SCOPE)
  else()
    string(REPLACE "\\" "\\\\" path "${path}")
    string(REPLACE "\"" "\\\"" path "${path}")
    string(REPLACE "$" "\\$" path "${path}")
    string(REPLACE "`" "\\`" path "${path}")
    set(${out} "\"${path}\"" PARENT_SCOPE)
  endif()
endfunction()

function(_velmora_install_configured template name destination program)
  _velmora_exec_word("${program}" VELMORA_EXEC)
  configure_file("${VELMORA_DATA_DIR}/${template}" "${VELMORA_STAGING_DIR}/${name}" @ONLY)
  file(INSTALL "${VELMORA_STAGING_DIR}/${name}" DESTINATION "${_prefix}/${destination}"
       PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

if(VELMORA_WITH_MAIN)
  _velmora_install_configured(velmora.desktop.in velmora.desktop share/applications
    "${_prefix}/libexec/velmora/velmora-launch")
endif()
_velmora_install_configured(velmora-tools.desktop.in velmora-tools.desktop share/applications
  "${_prefix}/bin/velmora-tools")
_velmora_install_configured(org.velmora.Pellorin.service.in ${PELLORIN_BUS_NAME}.service
  share/dbus-1/services "${_prefix}/bin/pellorin")
