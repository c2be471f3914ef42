Option Explicit
' Reports the programs listed under the Uninstall key.
Const HKEY_LOCAL_MACHINE = &H80000002
Dim registry, keyPath, subKeys, subKey, name, version

Set registry = GetObject("winmgmts:{impersonationLevel=impersonate}!\\.\root\default:" & _
                         "StdRegProv")
keyPath = "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
registry.EnumKey HKEY_LOCAL_MACHINE, keyPath, subKeys
If IsArray(subKeys) Then
    For Each subKey In subKeys
        registry.GetStringValue HKEY_LOCAL_MACHINE, keyPath & "\" & subKey, _
                                "DisplayName", name
        registry.GetStringValue HKEY_LOCAL_MACHINE, keyPath & "\" & subKey, _
                                "DisplayVersion", version
        If Not IsNull(name) Then
            WScript.Echo name & vbTab & version
        End If
    Next
End If
