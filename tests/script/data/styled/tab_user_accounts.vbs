Option Explicit
' Lists the local accounts and whether each is disabled, through ADSI.
Const ADS_UF_ACCOUNTDISABLE = &H2
Dim network, computer, account, state
Set network = CreateObject("WScript.Network")
Set computer = GetObject("WinNT://" & network.ComputerName & _
                         ",computer")
computer.Filter = Array("user")
For Each account In computer
	If account.UserFlags And ADS_UF_ACCOUNTDISABLE Then
		state = "disabled"
	Else
		state = "enabled"
	End If
	WScript.Echo account.Name & vbTab & state & vbTab & _
	             account.FullName
Next
